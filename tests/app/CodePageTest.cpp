#include "app/CodePage.h"
#include "app/UiLanguage.h"
#include "Hex.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip {
    const char* codePage;
    const char* text; // UTF-8
    const char* bytes;
};

class CodePageRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(CodePageRoundTrip, EncodesAndDecodes)
{
    const RoundTrip& row = GetParam();
    const QString text = QString::fromUtf8(row.text);
    EXPECT_EQ(CodePage::fromUnicode(text, row.codePage).toHex(' '), hex(row.bytes).toHex(' '));
    EXPECT_EQ(CodePage::toUnicode(hex(row.bytes), row.codePage), text);
}

INSTANTIATE_TEST_SUITE_P(Rows, CodePageRoundTrip, testing::Values(
    RoundTrip{"CP936", "大厅", "b4f3ccfc"},
    RoundTrip{"CP936", "功放1号", "b9a6b7c531bac5"},
    RoundTrip{"CP936", "Empty", "456d707479"},
    RoundTrip{"CP936", "", ""},
    RoundTrip{"CP1252", "é", "e9"},
    RoundTrip{"CP1252", "Café €5", "436166e9208035"},
    RoundTrip{"CP1252", "Hall A", "48616c6c2041"}));

struct Lossy {
    const char* codePage;
    const char* text; // UTF-8
    const char* bytes;
};

class CodePageUnrepresentable : public testing::TestWithParam<Lossy> {};

TEST_P(CodePageUnrepresentable, BecomesQuestionMark)
{
    const Lossy& row = GetParam();
    EXPECT_EQ(CodePage::fromUnicode(QString::fromUtf8(row.text), row.codePage).toHex(' '),
              hex(row.bytes).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Rows, CodePageUnrepresentable, testing::Values(
    Lossy{"CP1252", "大厅", "3f3f"},
    Lossy{"CP1252", "a大b", "613f62"},
    Lossy{"CP936", "😀x", "3f78"},          // outside the BMP: one '?', not two
    Lossy{"CP936", "Ω→ü", "a6b8a1faa8b9"},  // all in GBK
    Lossy{"CP936", "\xe0\xb8\x81", "3f"}));  // Thai

class CodePageInvalidBytes : public testing::TestWithParam<Lossy> {};

TEST_P(CodePageInvalidBytes, BecomeReplacementCharacters)
{
    const Lossy& row = GetParam();
    EXPECT_EQ(CodePage::toUnicode(hex(row.bytes), row.codePage), QString::fromUtf8(row.text));
}

INSTANTIATE_TEST_SUITE_P(Rows, CodePageInvalidBytes, testing::Values(
    Lossy{"CP936", "\xef\xbf\xbd", "ff"},
    Lossy{"CP936", "a\xef\xbf\xbd", "61b4"},                   // lead byte cut off at the end
    Lossy{"CP936", "\xef\xbf\xbd" "A", "ff41"},
    Lossy{"CP936", "\xef\xbf\xbd\xe5\xa4\xa7", "ffb4f3"},     // resynchronises on the next pair
    Lossy{"CP1252", "\xef\xbf\xbd" "a", "8161"}));

TEST(CodePage, EightChineseCharactersAreSixteenBytes)
{
    const QString name = QString::fromUtf8("一二三四五六七八");
    const QByteArray bytes = CodePage::fromUnicode(name, "CP936");
    EXPECT_EQ(bytes.size(), 16);
    EXPECT_EQ(CodePage::toUnicode(bytes, "CP936"), name);
}

TEST(CodePage, ArbitraryBytesNeverCrash)
{
    // Every pair of bytes, and each byte alone, as a name field might hold them.
    QByteArray all;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            all.append(char(first));
            all.append(char(second));
        }
    }
    for (const char* page : {"CP936", "CP1252"}) {
        const QString text = CodePage::toUnicode(all, page);
        EXPECT_GE(text.size(), all.size() / 2);
        EXPECT_LE(text.size(), all.size());
        CodePage::fromUnicode(text, page);
    }
}

TEST(CodePage, UnpairedSurrogateIsQuestionMark)
{
    const QString text = QString(QChar(0xD800)) + QLatin1Char('x');
    EXPECT_EQ(CodePage::fromUnicode(text, "CP936"), QByteArray("?x"));
}

TEST(CodePage, UnknownCodePageKeepsAscii)
{
    EXPECT_EQ(CodePage::fromUnicode(QString::fromUtf8("ab大"), "NO-SUCH-PAGE"), QByteArray("ab?"));
    EXPECT_EQ(CodePage::toUnicode(hex("61b4"), "NO-SUCH-PAGE"), QString::fromUtf8("a\xef\xbf\xbd"));
}

TEST(CodePage, AnsiFollowsUiLanguage)
{
    const QString hall = QString::fromUtf8("大厅");
    setUiLanguage(chineseUi);
    EXPECT_STREQ(CodePage::ansiName(), "CP936");
    EXPECT_EQ(CodePage::toAnsi(hall), hex("b4f3ccfc"));
    EXPECT_EQ(CodePage::fromAnsi(hex("b4f3ccfc")), hall);

    setUiLanguage(englishUi);
    EXPECT_STREQ(CodePage::ansiName(), "CP1252");
    EXPECT_EQ(CodePage::toAnsi(hall), QByteArray("??"));
    EXPECT_EQ(CodePage::fromAnsi(hex("e9")), QString::fromUtf8("é"));
}

} // namespace
