#include "serial/LinkSettings.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(LinkSettings, ParsesTheBaudRatesInUse)
{
    for (qint32 baud : {9600, 14400, 19200, 38400, 56000, 115200}) {
        const QString text = LinkSettings::textFor(baud);
        const auto parsed = LinkSettings::parse(text);
        ASSERT_TRUE(parsed) << text.toStdString();
        EXPECT_EQ(parsed->baudRate(), baud);
        EXPECT_EQ(parsed->text(), text);
    }
    EXPECT_EQ(LinkSettings::textFor(56000), u"56000,n,8,1");
    EXPECT_EQ(LinkSettings().text(), u"9600,n,8,1");
}

TEST(LinkSettings, RefusesEverythingElse)
{
    const char* refused[] = {
        "",
        ",n,8,1",
        "0,n,8,1",
        "000,n,8,1",
        "-9600,n,8,1",
        "+9600,n,8,1",
        " 9600,n,8,1",
        "9600,n,8,1 ",
        "9600,N,8,1",
        "9600,e,8,1",
        "9600,n,7,1",
        "9600,n,8,2",
        "9600,n,8",
        "9600",
        "96 00,n,8,1",
        "0x2580,n,8,1",
        "2147483648,n,8,1",                // one past the largest rate
        "99999999999999999999999,n,8,1",  // would overflow any integer
        "9600,n,8,1,n,8,1",
    };
    for (const char* text : refused)
        EXPECT_FALSE(LinkSettings::parse(QString::fromUtf8(text))) << text;
    // Digits of other scripts are digits to QChar, not to the settings.
    EXPECT_FALSE(LinkSettings::parse(u"\u0669\u0666\u0660\u0660,n,8,1"));
    EXPECT_FALSE(LinkSettings::parse(u"\uff19\uff16\uff10\uff10,n,8,1"));
}

TEST(LinkSettings, EdgesOfTheRange)
{
    const auto lowest = LinkSettings::parse(u"1,n,8,1");
    ASSERT_TRUE(lowest);
    EXPECT_EQ(lowest->baudRate(), 1);
    const auto highest = LinkSettings::parse(u"2147483647,n,8,1");
    ASSERT_TRUE(highest);
    EXPECT_EQ(highest->baudRate(), 2147483647);
    // Leading zeros do not change the value; the text is given back plain.
    const auto padded = LinkSettings::parse(u"0000000000000000000009600,n,8,1");
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->text(), u"9600,n,8,1");
}

TEST(LinkSettings, RandomTextsNeverCrashAndOnlyDigitsPass)
{
    QRandomGenerator random(4711);
    const QString alphabet = QStringLiteral("0123456789,n81 N-\u0000\uffff");
    int accepted = 0;
    int wellFormed = 0; // digits only, not all zeros, then ",n,8,1"
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random.bounded(16);
        for (int i = 0; i < length; ++i)
            text.append(alphabet.at(random.bounded(alphabet.size())));
        if (random.bounded(2))
            text.append(u",n,8,1");
        static const QRegularExpression rate(QStringLiteral("^0*[1-9][0-9]{0,8},n,8,1$"));
        wellFormed += rate.match(text).hasMatch() ? 1 : 0;
        const auto parsed = LinkSettings::parse(text);
        if (!parsed)
            continue;
        ++accepted;
        EXPECT_GT(parsed->baudRate(), 0);
        const QStringView digits = QStringView(text).chopped(6);
        for (QChar c : digits)
            ASSERT_TRUE(c >= u'0' && c <= u'9') << text.toStdString();
    }
    // Every text of digits (short enough to stay in range) is taken, so a
    // parser that refused everything would fail here.
    EXPECT_GT(wellFormed, 100);
    EXPECT_GE(accepted, wellFormed);
}

} // namespace
