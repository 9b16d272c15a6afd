#include "CliArguments.h"

#include <gtest/gtest.h>

namespace {

QStringList split(const char* line) { return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts); }

class BadArguments : public testing::TestWithParam<const char*> {};

TEST_P(BadArguments, AreUsageErrors)
{
    const Cli::ParseResult result = Cli::parseArguments(split(GetParam()));
    EXPECT_FALSE(result.ok()) << GetParam();
    EXPECT_FALSE(result.error.contains(u'\n'));
}

INSTANTIATE_TEST_SUITE_P(Table, BadArguments,
                         testing::Values("", "frobnicate", "--bogus ports", "--port", "--port 0 detect",
                                         "--port COMx detect", "--port -3 detect", "--baud 19k2 detect",
                                         "--baud 0 detect", "--json=1 ports", "ports extra", "address 3",
                                         "address 3 0", "address 3 255", "address 300 4", "address x 4",
                                         "read", "read 0", "read 255", "read 3 4", "monitor 3 --count 0",
                                         "monitor 3 --interval -5", "monitor 3 --count", "set 3",
                                         "set 3 volume", "set 3 volume B", "set 3 volume E -20",
                                         "set 3 volume 5 -20", "set 3 volume B loud", "set 3 volume B -20 1",
                                         "set 255 volume B -20", "set 3 mute A 2", "set 3 input A spdif",
                                         "set 3 output A 6", "set 3 output A 0", "set 3 output C 5", "set 3 power off",
                                         "set 3 reset now", "set 3 hptype A 10", "set 3 hpfreq A 2kk",
                                         "set 3 eq A 16 1000 3", "set 3 eq A 0 1000 3", "set 3 eq A 1 1000",
                                         "set 3 eqq A 1 wide", "set 3 eqtype A 1 11", "set 3 gain A 10 --gain-top 200",
                                         "set 3 frequency A 10", "search extra", "search 3", "search --list",
                                         "search --list=", "search --listen 100", "--list save.txt detect",
                                         "status 0", "status 255", "status 2 x", "status 2 --list save.txt",
                                         "status --listen 0", "status --listen", "preset 3",
                                         "preset", "preset save 3", "preset save 0 a.save", "preset load 255 a.save",
                                         "preset save 3 a.save --all", "preset load 3 a.save b.save",
                                         "read 3 --all", "slot", "slot name 3", "slot name 0 3", "slot name 3 17",
                                         "slot name 3 0", "slot store 3 1", "slot store 3 1 a b", "slot recall 3 x",
                                         "slot clear", "slot clear 3 4", "slot rename 3 1", "copy 3 A",
                                         "copy 3 A A", "copy 3 E B", "copy 3 A B B", "copy 0 A B", "read 3 --parts eq",
                                         "copy 3 A B --parts", "copy 3 A B --parts volume", "log extra",
                                         "log 3", "log --since yesterday", "log --until 2026-12-09T25:00",
                                         "log --since 2026-12-09T21:13Z", "log --since -2w", "log --since",
                                         "log --address 255", "log --address x", "log --kind state%",
                                         "log --json --csv", "--csv status", "status --since -2h",
                                         "read 3 --address 3", "search --kind faults", "status --watch 0",
                                         "status --watch", "status --watch 5 --listen 100", "read 3 --watch 5",
                                         "status --count 3", "status --watch 86401", "log --watch 5"));

TEST(GoodArguments, ParseIntoTheInvocation)
{
    auto r = Cli::parseArguments(split("--port COM3 --baud 19200 --trace set 3 volume b -20"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.portNumber, 3);
    EXPECT_EQ(r.invocation.baudRate, 19200);
    EXPECT_TRUE(r.invocation.trace);
    EXPECT_EQ(r.invocation.set.parameter, u"volume");
    EXPECT_EQ(r.invocation.set.channel, 2);
    EXPECT_EQ(r.invocation.set.values, QStringList{"-20"});

    r = Cli::parseArguments(split("--port /dev/pts/7 set 0 eq D 15 1000 -3.5 --gain-top 30"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.portPath, u"/dev/pts/7");
    EXPECT_EQ(r.invocation.address, 0);
    EXPECT_EQ(r.invocation.set.channel, 4);
    EXPECT_EQ(r.invocation.set.band, 15);
    EXPECT_EQ(r.invocation.gainTop, 30);

    r = Cli::parseArguments(split("monitor 7 --count=3 --interval 500"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.invocation.count, 3);
    EXPECT_EQ(r.invocation.intervalMs, 500);

    r = Cli::parseArguments(split("--json status 1 2 254 --listen 500"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.addresses, (QList<int>{1, 2, 254}));
    EXPECT_EQ(r.invocation.listenMs, 500);
    EXPECT_TRUE(r.invocation.listPath.isEmpty());

    r = Cli::parseArguments(split("search --list=/tmp/list.txt"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.listPath, u"/tmp/list.txt");
    EXPECT_TRUE(r.invocation.addresses.isEmpty());

    r = Cli::parseArguments(split("preset load 9 /tmp/hall.save --all"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.action, u"load");
    EXPECT_EQ(r.invocation.address, 9);
    EXPECT_EQ(r.invocation.presetPath, u"/tmp/hall.save");
    EXPECT_TRUE(r.invocation.toAll);

    r = Cli::parseArguments(split("slot store 0 16 Hall"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.address, 0);
    EXPECT_EQ(r.invocation.slot, 16);
    EXPECT_EQ(r.invocation.slotName, u"Hall");

    r = Cli::parseArguments(split("status --watch 10 --list /srv/show/save.txt --count 3 --json"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.watchSeconds, 10);
    EXPECT_EQ(r.invocation.count, 3);
    EXPECT_EQ(r.invocation.listPath, u"/srv/show/save.txt");

    r = Cli::parseArguments(split("log --list a.txt --since 2026-12-09T21:13 --until -30m --address 0 --kind faults --csv"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.invocation.command, u"log");
    EXPECT_EQ(r.invocation.since, u"2026-12-09T21:13");
    EXPECT_EQ(r.invocation.until, u"-30m");
    EXPECT_EQ(r.invocation.logAddress, 0);
    EXPECT_EQ(r.invocation.kind, u"faults");
    EXPECT_TRUE(r.invocation.csv);

    for (const char* line : {"log", "log --json --kind state.fault", "status --watch 1 3 4", "log --since=2026-12-09",
                             "preset save 3 a.save", "slot name 3 1", "slot recall 0 3", "slot clear 0", "search", "status", "status --list save.txt", "--port 2 --baud 38400 status 7",
                             "set 3 hpfreq A 2k", "set 3 lpfreq 1 2.5K", "set 3 power standby", "set 3 reset",
                             "set 3 input C AES3", "set 3 output D 5", "set 3 eqreset B", "address 0 254", "--help",
                             "copy 3 A B C D", "copy 3 a 2 --parts EQ,limiter",
                             "--version bogus"})
        EXPECT_TRUE(Cli::parseArguments(split(line)).ok()) << line;
}

TEST(LogTimes, AreLocalTimesOrSpansBackFromNow)
{
    const QDateTime now(QDate(2026, 12, 9), QTime(21, 30, 15, 500));
    const struct {
        const char* text;
        QDateTime expected;
    } rows[] = {
        {"2026-12-09T21:13", QDateTime(QDate(2026, 12, 9), QTime(21, 13))},
        {"2026-12-09 21:13:05", QDateTime(QDate(2026, 12, 9), QTime(21, 13, 5))},
        {"2026-12-09T21:13:05.25", QDateTime(QDate(2026, 12, 9), QTime(21, 13, 5, 250))},
        {"2026-12-09", QDateTime(QDate(2026, 12, 9), QTime(0, 0))},
        {"-2h", now.addSecs(-7200)},
        {"-30m", now.addSecs(-1800)},
        {"-45s", now.addSecs(-45)},
        {"-7d", now.addDays(-7)},
    };
    for (const auto& row : rows) {
        const auto time = Cli::parseLogTime(row.text, now);
        ASSERT_TRUE(time.has_value()) << row.text;
        EXPECT_EQ(*time, row.expected) << row.text;
        EXPECT_EQ(time->timeSpec(), Qt::LocalTime) << row.text;
    }
    for (const char* bad : {"", "now", "-2", "2h", "-2H", "2026-13-01", "2026-12-09T21", "2026-12-09T21:13+01:00",
                            "21:13", "-h"})
        EXPECT_FALSE(Cli::parseLogTime(bad, now).has_value()) << bad;
}

} // namespace
