#pragma once

#include "ListedPorts.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "serial/DeviceWatcher.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/UserDialogs.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A disk that fills up: while it lives, no file of this process grows past
// `bytes`; a write beyond fails (EFBIG) as on a full disk, for every user,
// root included, and half-way through a save.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

// One simulated bus behind one listed port whose adapter can be pulled and
// put back, on the virtual clock, English texts, every message recorded.
struct BusFixture : testing::Test {
    ScopedVirtualClock clock;
    SimBus bus{19200};
    QTemporaryDir dir;
    UserDialogs::MessageRecorder messages;
    QList<QByteArray> heard;
    const SerialPorts::PresentPort adapter{QStringLiteral("/dev/vx4-faults"), QStringLiteral("Adapter"), true};
    QList<SerialPorts::PresentPort> present{adapter};
    int port = 0;
    SimBus* line = &bus; // the bus behind the port for links made from now on

    BusFixture()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        port = listPorts([this] { return present; }).value(0);
        setSerialLinkMaker([this](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(port, line);
            return link;
        });
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& frame) {
            heard.append(frame);
            if (frame == pullOn)
                pull();
        });
    }
    ~BusFixture() override
    {
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
        resetSharedState();
    }

    // The adapter goes: the link refuses, and the device leaves the list.
    void pull()
    {
        bus.setPluggedIn(false);
        present.clear();
    }
    // Pulls the adapter the moment the amplifiers hear this frame.
    QByteArray pullOn;
    // The adapter is back; the device watcher sees it within a second.
    void plugBackIn()
    {
        bus.clearPending();
        bus.setPluggedIn(true);
        present = {adapter};
        clock->advance(DeviceWatcher::periodMs);
    }
};
