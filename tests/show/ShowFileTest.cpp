#include "show/ShowFile.h"

#include "protocol/FullStateReply.h"
#include "protocol/ParameterTable.h"
#include "sim/SimAmplifier.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

ShowFile::Show twoAmplifiers()
{
    ShowFile::Show show;
    show.baud = 38400;
    show.devices = {{"1", QString::fromUtf8("大厅 A")}, {"7", "Stage, \"left\""}};
    SimAmplifier one(1);
    one.parameters().channels[1].volumeDb = -20;
    one.parameters().channels[0].bands[3] = {250, -450, 230, 2};
    one.parameters().channels[3].outputSource = 5;
    SimAmplifier seven(7, 2, 30);
    seven.parameters().channels[0].hpType = 4;
    show.put(ShowFile::fromReply(1, one.fullStateReply(), QDateTime::fromString("2026-12-09T21:13:05.123Z", Qt::ISODateWithMs)));
    show.put(ShowFile::fromReply(7, seven.fullStateReply(), {}));
    return show;
}

TEST(ShowFile, RoundTripKeepsEveryParameterAndTheReplies)
{
    const ShowFile::Show show = twoAmplifiers();
    const QByteArray text = ShowFile::encode(show);
    const ShowFile::Decoded back = ShowFile::decode(text);
    ASSERT_TRUE(back.show) << back.error.toStdString();
    EXPECT_EQ(back.show->baud, 38400);
    EXPECT_EQ(back.show->devices, show.devices);
    ASSERT_EQ(back.show->amplifiers.size(), 2);
    for (const ShowFile::Amplifier& amp : show.amplifiers) {
        const ShowFile::Amplifier* read = back.show->amplifier(amp.address);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->reply, amp.reply);
        EXPECT_EQ(read->receivedAt, amp.receivedAt);
        EXPECT_EQ(read->parameters.channelCount, amp.parameters.channelCount);
        EXPECT_EQ(read->parameters.gainTop, amp.parameters.gainTop);
        EXPECT_TRUE(ParameterTable::differences(read->parameters, amp.parameters).isEmpty()) << amp.address;
    }
    EXPECT_EQ(ShowFile::encode(*back.show), text) << "the same file again";
    // Readable: list positions by name too.
    EXPECT_TRUE(text.contains("\"hpTypeName\": \"24dB_Bworth\"")) << text.left(2000).toStdString();
    EXPECT_TRUE(text.contains("\"outputSourceName\": \"bridged\""));
    EXPECT_TRUE(text.contains("\"bandTypeName\": \"Low Shelf\""));
}

// The text of a show with one value changed.
QByteArray edited(const char* from, const char* to)
{
    QByteArray text = ShowFile::encode(twoAmplifiers());
    const qsizetype at = text.indexOf(from);
    EXPECT_GE(at, 0) << from;
    return text.replace(at, qstrlen(from), to);
}

TEST(ShowFile, WhatIsNoShowIsRefusedWithTheFieldNamed)
{
    const QByteArray good = ShowFile::encode(twoAmplifiers());
    const struct {
        const char* what;
        QByteArray bytes;
        const char* error;
    } rows[] = {
        {"newer format", edited("\"format\": 1", "\"format\": 2"), "show.format: 2 is newer"},
        {"volume out of range", edited("\"volumeDb\": -20", "\"volumeDb\": 12"), "amplifiers[0].channels[1].volumeDb: 12 is outside -80..6"},
        {"a name that is no list entry", edited("\"hpTypeName\": \"24dB_Bworth\"", "\"hpTypeName\": \"96dB\""), "hpTypeName"},
        {"a name against its number", edited("\"hpTypeName\": \"24dB_Bworth\"", "\"hpTypeName\": \"Bypass\""), "does not name"},
        {"bridged on the first of a pair", edited("\"outputSourceName\": \"a\"", "\"outputSourceName\": \"bridged\""), "outputSource"},
        {"not JSON", "address 1 volume -20", "not a show file"},
        {"cut off", good.left(good.size() / 2), "not a show file"},
        {"a band short", edited("\"bands\": [", "\"bands\": [{},"), "bands"},
        {"bad hex", edited("\"reply\": \"55", "\"reply\": \"zz"), "reply"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const ShowFile::Decoded d = ShowFile::decode(row.bytes);
        EXPECT_FALSE(d.show.has_value());
        EXPECT_TRUE(d.error.contains(QString::fromUtf8(row.error))) << d.error.toStdString();
    }
}

TEST(ShowFile, WrittenAtomicallyAndReadOnlyFromRegularFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bus.vx4show");
    ASSERT_TRUE(ShowFile::write(path, twoAmplifiers()).isEmpty());
    const ShowFile::Decoded read = ShowFile::read(path);
    ASSERT_TRUE(read.show) << read.error.toStdString();
    EXPECT_EQ(read.show->amplifiers.size(), 2);
    const QString pipe = dir.filePath("pipe.vx4show");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(ShowFile::read(pipe).show);
    EXPECT_TRUE(ShowFile::read(pipe).error.contains("no regular file"));
    EXPECT_FALSE(ShowFile::read(dir.filePath("missing.vx4show")).show);
}

} // namespace
