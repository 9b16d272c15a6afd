#pragma once

#include "Hex.h"
#include "ListedPorts.h"
#include "WindowControls.h"

#include "app/SharedState.h"
#include "app/UiLanguage.h"
#include "clock/VirtualClock.h"
#include "editor/CDorvaneDlg.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QList>
#include <gtest/gtest.h>

#include <memory>

// Simulated buses behind the ports of the port list, English texts, the
// virtual clock, recorded messages and every frame the amplifiers heard.
struct EditorBusFixture : testing::Test {
    static constexpr int address = 3;
    ScopedVirtualClock clock;
    SimBus bus{19200};
    SimBus otherBus{19200};
    QList<int> ports; // the port numbers of the two buses: otherBus first
    UserDialogs::MessageRecorder messages;
    QList<QByteArray> heard;

    EditorBusFixture()
    {
        setUiLanguage(englishUi);
        resetSharedState();
        ports = listPorts([] {
            return QList<SerialPorts::PresentPort>{{QStringLiteral("/dev/ttyVX4EDIT0"), QStringLiteral("other"), true},
                                                   {QStringLiteral("/dev/ttyVX4EDIT1"), QStringLiteral("bus"), true}};
        });
        setSerialLinkMaker([this](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(ports.value(0), &otherBus);
            link->addPort(ports.value(1), &bus);
            return link;
        });
        sharedState().selectedAddress = address;
        sharedState().baudText = QStringLiteral("19200");
        QObject::connect(&bus, &SimBus::frameHeard, [this](const QByteArray& frame) { heard.append(frame); });
    }
    ~EditorBusFixture() override
    {
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
        resetSharedState();
    }
    // Frames heard since the last call.
    QList<QByteArray> takeHeard() { return std::exchange(heard, {}); }
};

// "CHA".."CHD"
inline QString channelTitle(int channel) { return QStringLiteral("CH") + QChar(u'A' + channel); }

// The accessible name of a control that the editor has once per channel
// and whose caption does not name the channel: ("Vol(dB)", 1) gives
// "Vol(dB) CHB".
inline QString perChannel(const QString& caption, int channel) { return caption + u' ' + channelTitle(channel); }
