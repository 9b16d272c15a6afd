// Soak: the editor polls one amplifier at the fastest refresh rate while the
// home page refreshes a table of twenty amplifiers every ten seconds, for
// SOAK_SECONDS (60 by default) of virtual time; with SOAK_REALTIME=1 the
// virtual time is held to the real clock, for long runs. Memory and open
// descriptors must stay flat after the warm-up, the polls must keep their
// period, and every frame the program writes must be well-formed.
#include "ListedPorts.h"
#include "RecordingLink.h"
#include "ProcessFigures.h"
#include "WindowControls.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define VX4_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VX4_ASAN 1
#endif
#endif

namespace {

constexpr int homeAmplifiers = 20;
constexpr DeviceAddress editedAddress = 50;
constexpr int stepMs = 100;
constexpr qint64 warmUpMs = 25'000;
// Growth allowed per hour after the warm-up: allocator slack, not a leak.
// A leak of a hundred bytes a poll (about 12000 polls an hour at the
// fastest rate) comes to over a megabyte.
constexpr qint64 rssBoundKbPerHour = 512;

TEST(Soak, PollsAndRefreshesKeepTheirPeriodAndLeaveMemoryAndDescriptorsFlat)
{
    // An hour of virtual time by default: a few seconds of real time.
    const int seconds = qEnvironmentVariableIsSet("SOAK_SECONDS") ? qEnvironmentVariableIntValue("SOAK_SECONDS") : 3600;
    ASSERT_GT(seconds, warmUpMs / 1000) << "SOAK_SECONDS must outlast the warm-up";
    const bool realTime = qEnvironmentVariableIntValue("SOAK_REALTIME") != 0;

    setUiLanguage(englishUi);
    resetSharedState();
    ScopedVirtualClock clock;
    UserDialogs::MessageRecorder messages;
    SimBus homeBus{19200}, editorBus{19200}, emptyBus{19200};
    for (int a = 1; a <= homeAmplifiers; ++a)
        homeBus.addAmplifier(static_cast<std::uint8_t>(a));
    editorBus.addAmplifier(editedAddress);

    const QList<int> ports = listPorts([] {
        return QList<SerialPorts::PresentPort>{{QStringLiteral("/dev/vx4-soak-home"), QStringLiteral("home"), true},
                                               {QStringLiteral("/dev/vx4-soak-edit"), QStringLiteral("edit"), true}};
    });
    ASSERT_EQ(ports.size(), 2);
    const int homePort = ports[0];
    const int editorPort = ports[1];
    RecordingLink* homeLink = nullptr;
    RecordingLink* editorLink = nullptr;
    // The home page sees its bus only; the editor finds nobody behind the
    // home page's port and its amplifier behind the other.
    setSerialLinkMaker([&](QObject* parent) {
        auto link = std::make_unique<RecordingLink>(parent);
        if (!homeLink) {
            link->sim().addPort(homePort, &homeBus);
            homeLink = link.get();
        } else {
            link->sim().addPort(homePort, &emptyBus);
            link->sim().addPort(editorPort, &editorBus);
            editorLink = link.get();
        }
        return link;
    });

    QTemporaryDir dir;
    const QString listPath = dir.filePath(QStringLiteral("save.txt"));
    {
        QFile file(listPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int a = 1; a <= homeAmplifiers; ++a)
            file.write(QByteArray::number(a) + " Amp " + QByteArray::number(a) + "\r\n");
    }
    auto home = std::make_unique<ZhuYe>();
    home->setDeviceListPath(listPath);
    home->show();
    clock->runDue();
    ASSERT_TRUE(home->link().isOpen());

    sharedState().selectedAddress = editedAddress;
    auto editor = std::make_unique<CDorvaneDlg>(chosenTarget());
    editor->show();
    clock->runDue();
    ASSERT_TRUE(editor->link().isOpen());
    ASSERT_EQ(editor->link().portNumber(), editorPort);
    menuItem(*editor, QStringLiteral("1 fast"))->trigger();
    ASSERT_EQ(editor->session().monitorPeriodMs(), CDorvaneDlg::refreshPeriodsMs[0]);
    messages.messages.clear();
    homeLink->writes().clear();
    editorLink->writes().clear();

    // What went on the wire, taken from the recorders at every step so that
    // the test's own records do not grow with the hour; the lists are
    // reserved up front for the same reason.
    QList<qint64> polls, refreshStarts;
    polls.reserve(qint64(seconds) * 1000 / CDorvaneDlg::refreshPeriodsMs[0] + 16);
    refreshStarts.reserve(seconds / 10 + 16);
    int frames = 0, malformed = 0;
    const auto takeWrites = [&] {
        for (RecordingLink* link : {homeLink, editorLink}) {
            for (const RecordingLink::Write& w : link->writes()) {
                ++frames;
                if (!ControlFrame::isWellFormed(w.bytes))
                    ++malformed;
                if (link == editorLink && w.bytes == Commands::monitorPoll(editedAddress))
                    polls.append(w.atMs);
                if (link == homeLink && w.bytes == Commands::statusQuery(1))
                    refreshStarts.append(w.atMs);
            }
            link->writes().clear();
        }
    };

    QElapsedTimer real;
    real.start();
    const qint64 start = clock->nowMs();
    const qint64 end = start + qint64(seconds) * 1000;
    qint64 rssStart = ProcessFigures::residentKb(), rssWarm = -1, rssMax = rssStart;
    const int fdStart = ProcessFigures::openDescriptors();
    int fdWarm = -1, fdMax = fdStart;
    while (clock->nowMs() < end) {
        clock->advance(stepMs);
        QCoreApplication::processEvents();
        takeWrites();
        const qint64 elapsed = clock->nowMs() - start;
        if (elapsed % 1000 < stepMs) {
            editor->repaint();
            home->repaint();
        }
        if (elapsed % 10'000 < stepMs) {
            rssMax = std::max(rssMax, ProcessFigures::residentKb());
            fdMax = std::max(fdMax, ProcessFigures::openDescriptors());
        }
        if (rssWarm < 0 && elapsed >= warmUpMs) {
            rssWarm = ProcessFigures::residentKb();
            fdWarm = ProcessFigures::openDescriptors();
        }
        if (realTime) {
            while (real.elapsed() < elapsed) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(static_cast<unsigned long>(std::clamp<qint64>(elapsed - real.elapsed(), 0, 20)));
            }
        }
    }
    const qint64 rssEnd = ProcessFigures::residentKb();
    const int fdEnd = ProcessFigures::openDescriptors();
    rssMax = std::max(rssMax, rssEnd);

    std::printf("soak: %d s %s, %lld ms real; RSS start %lld kB, after warm-up %lld kB, end %lld kB, max %lld kB; "
                "descriptors start %d, after warm-up %d, end %d, max %d; editor polls %lld, home refreshes %lld, "
                "frames %d, malformed %d\n",
                seconds, realTime ? "real time" : "virtual time", static_cast<long long>(real.elapsed()),
                static_cast<long long>(rssStart), static_cast<long long>(rssWarm), static_cast<long long>(rssEnd),
                static_cast<long long>(rssMax), fdStart, fdWarm, fdEnd, fdMax, static_cast<long long>(polls.size()),
                static_cast<long long>(refreshStarts.size()), frames, malformed);
    testing::Test::RecordProperty("rssEndKb", static_cast<int>(rssEnd));
    testing::Test::RecordProperty("polls", static_cast<int>(polls.size()));

    EXPECT_EQ(malformed, 0);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(QLatin1Char('|')).toStdString();
    // Ten seconds after the end of the last refresh (twenty rows of 100 ms);
    // an editor reply being read may hold a tick back by its 50 ms.
    const qint64 refreshMs = qint64(homeAmplifiers) * 100;
    // A refresh every ten seconds after the twenty rows' two: one in twelve.
    ASSERT_GE(refreshStarts.size(), (end - start) / (ZhuYe::pollPeriodMs + refreshMs) - 1);
    for (qsizetype i = 1; i < refreshStarts.size(); ++i) {
        EXPECT_GE(refreshStarts[i] - refreshStarts[i - 1], ZhuYe::pollPeriodMs + refreshMs) << i;
        EXPECT_LE(refreshStarts[i] - refreshStarts[i - 1], ZhuYe::pollPeriodMs + refreshMs + 60) << i;
    }
    // Every poll interval is the period, except where a refresh held the
    // line; those never add up to a drift.
    ASSERT_GE(polls.size(), 2);
    for (qsizetype i = 1; i < polls.size(); ++i) {
        const qint64 gap = polls[i] - polls[i - 1];
        const bool refreshBetween = std::any_of(refreshStarts.begin(), refreshStarts.end(), [&](qint64 r) {
            return r + refreshMs > polls[i - 1] && r < polls[i];
        });
        if (refreshBetween)
            EXPECT_LE(gap, CDorvaneDlg::refreshPeriodsMs[0] + refreshMs + 60) << "poll " << i;
        else
            EXPECT_EQ(gap, CDorvaneDlg::refreshPeriodsMs[0]) << "poll " << i;
    }
    const qint64 lineHeld = refreshStarts.size() * (refreshMs + CDorvaneDlg::refreshPeriodsMs[0]);
    EXPECT_GE(polls.size(), (end - start - lineHeld) / CDorvaneDlg::refreshPeriodsMs[0] - 1);
    EXPECT_LE(editor->session().missedPolls(), 1);
    EXPECT_TRUE(editor->session().linkConnected());
    for (int row = 0; row < homeAmplifiers; ++row)
        EXPECT_EQ(home->table().text(row, DeviceTable::ConnectionColumn), QStringLiteral("The connection")) << row;

    EXPECT_LE(fdEnd, fdWarm);
#ifndef VX4_ASAN
    // The sanitizer's quarantine holds freed memory back; leaks are its own check there.
    const double hoursAfterWarmUp = double(end - start - warmUpMs) / 3'600'000;
    EXPECT_LE(rssEnd - rssWarm, std::max<qint64>(rssBoundKbPerHour, qint64(rssBoundKbPerHour * hoursAfterWarmUp)))
        << "kB after the warm-up, in " << hoursAfterWarmUp << " h";
#endif

    editor.reset();
    home.reset();
    setSerialLinkMaker({});
    SerialPorts::setPresentPortsSource({});
    SerialPorts::setOpenTest({});
    resetSharedState();
}

} // namespace
