#include "DevicesTestSupport.h"
#include "RootPowers.h"

#include "devices/DeviceListFile.h"
#include "devices/DeviceTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FileTest = EnglishFixture;

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST_F(FileTest, SaveWritesCodePage936WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.txt"));
    DeviceTable table;
    table.appendRow(QStringLiteral("3"), QString::fromUtf8("大厅"), QStringLiteral("The connection"), QStringLiteral("Normal"));
    table.appendRow(QStringLiteral("12"), QString(), {}, {});
    table.appendRow(QStringLiteral("4"), QStringLiteral("Hall A b"), {}, {});
    EXPECT_TRUE(DeviceListFile::save(path, table).isEmpty());
    EXPECT_EQ(readBytes(path).toHex(' '), hex("33 20 B4 F3 CC FC 0D 0A 31 32 20 0D 0A 34 20 48 61 6C 6C 20 41 20 62 0D 0A").toHex(' '));

    DeviceTable loaded;
    EXPECT_TRUE(DeviceListFile::load(path, loaded).error.isEmpty());
    ASSERT_EQ(loaded.size(), 3);
    EXPECT_EQ(loaded.row(0), (DeviceRow{"1", "3", QString::fromUtf8("大厅"), "Not connected", ""}));
    EXPECT_EQ(loaded.row(2), (DeviceRow{"3", "4", "Hall A b", "Not connected", ""}));
}

TEST_F(FileTest, DecodeLines)
{
    using Entry = DeviceListFile::Entry;
    struct Case {
        const char* bytes;
        QList<Entry> entries;
    };
    const Case cases[] = {
        {"35 0D 0A", {{"", "5"}}},                            // no space: all of it is the name
        {"31 20 61 0A 32 20 62", {{"1", "a"}, {"2", "b"}}},   // LF only, last line without an end
        {"20 78 0D 0A", {{"", "x"}}},
        {"", {}},
        {"37 20 0D 0A 0D 0A", {{"7", ""}, {"", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DeviceListFile::decode(hex(c.bytes)), c.entries);
    }
}

TEST_F(FileTest, MissingFileLeavesTheTableEmpty)
{
    QTemporaryDir dir;
    DeviceTable table;
    table.appendRow(QStringLiteral("1"), {}, {}, {});
    const DeviceListFile::LoadOutcome loaded = DeviceListFile::load(dir.filePath(QStringLiteral("none.txt")), table);
    EXPECT_TRUE(loaded.error.isEmpty());
    EXPECT_FALSE(loaded.keepFile);
    EXPECT_EQ(table.size(), 0);
}

TEST_F(FileTest, WhatIsNoListIsRefusedAtOnceAndKept)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString huge = dir.filePath(QStringLiteral("huge.txt"));
    writeBytes(huge, QByteArray(DeviceListFile::largestFileBytes + 1, '7'));
    const struct {
        const char* what;
        QString path;
        const char* reason;
    } rows[] = {
        {"a named pipe", pipe, "no regular file"},
        {"a device that never ends", QStringLiteral("/dev/zero"), "no regular file"},
        {"a file far larger than any list", huge, "larger than"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DeviceTable table;
        table.appendRow(QStringLiteral("1"), {}, {}, {});
        const DeviceListFile::LoadOutcome loaded = DeviceListFile::load(row.path, table);
        EXPECT_EQ(table.size(), 0);
        EXPECT_TRUE(loaded.keepFile);
        EXPECT_FALSE(loaded.cannotOpen);
        EXPECT_TRUE(loaded.error.contains(QString::fromLatin1(row.reason))) << loaded.error.toStdString();
        EXPECT_TRUE(loaded.error.contains(row.path)) << loaded.error.toStdString();
    }
}

TEST_F(FileTest, FailedSaveKeepsTheOldFileAndSaysSo)
{
    VX4_RUN_WITHOUT_ROOT_POWERS();
    QTemporaryDir dir;
    DeviceTable table;
    table.appendRow(QStringLiteral("1"), QStringLiteral("new"), {}, {});

    // A folder in the way of the file: fails for every user.
    const QString blocked = dir.filePath(QStringLiteral("blocked.txt"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    const QString error = DeviceListFile::save(blocked, table);
    EXPECT_TRUE(error.contains(QStringLiteral("blocked.txt"))) << error.toStdString();

    const QString readOnly = dir.filePath(QStringLiteral("ro"));
    QDir().mkpath(readOnly);
    const QString path = readOnly + QStringLiteral("/save.txt");
    writeBytes(path, "1 old\r\n");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString roError = DeviceListFile::save(path, table);
    EXPECT_TRUE(roError.contains(QStringLiteral("save.txt"))) << roError.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("1 old\r\n"));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
