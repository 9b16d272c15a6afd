// The home page and the editor on one simulated bus: the line is handed over
// and back, and what the editor leaves behind reaches the device table.
#include "DevicesTestSupport.h"
#include "ListedPorts.h"

#include "clock/VirtualClock.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "editor/EditorSession.h"
#include "protocol/Commands.h"
#include "serial/SerialLinkFactory.h"
#include "serial/SerialPorts.h"
#include "sim/SimBus.h"
#include "sim/SimLink.h"
#include "widgets/UserDialogs.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

struct HandOverTest : EnglishFixture {
    ScopedVirtualClock clock;
    SimBus bus{38400};
    QTemporaryDir dir;
    UserDialogs::MessageRecorder messages;
    int port = 0;

    HandOverTest()
    {
        port = listPorts([] {
                   return QList<SerialPorts::PresentPort>{
                       {QStringLiteral("/dev/vx4-handover"), QStringLiteral("Bus"), true}};
               }).value(0);
        setSerialLinkMaker([this](QObject* parent) {
            auto link = std::make_unique<SimLink>(nullptr, parent);
            link->addPort(port, &bus);
            return link;
        });
    }
    ~HandOverTest() override
    {
        setSerialLinkMaker({});
        SerialPorts::setPresentPortsSource({});
        SerialPorts::setOpenTest({});
    }
};

TEST_F(HandOverTest, EditorGetsTheLineAndTheHomePageTakesItBackWithTheStatus)
{
    SimAmplifier& amp = bus.addAmplifier(3);
    bus.addAmplifier(4);
    {
        QFile file(dir.filePath(QStringLiteral("save.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("3 Hall\r\n4 Foyer\r\n");
    }
    ZhuYe home;
    home.setDeviceListPath(dir.filePath(QStringLiteral("save.txt")));
    bool editorConnected = false;
    bool homeClosedMeanwhile = false;
    home.setEditorOpener([&](QWidget*, const EditorTarget& target) {
        // As exec() would, but with the virtual clock driving it.
        CDorvaneDlg editor(target);
        editor.show();
        clock->runDue();
        homeClosedMeanwhile = !home.link().isOpen();
        editorConnected = editor.link().isOpen();
        // The amplifier clips while the editor watches it.
        amp.clipFlags = 0x00;
        clock->advance(2500);
        editor.close();
    });
    home.show();
    clock->runDue();
    ASSERT_TRUE(home.link().isOpen());

    home.openEditor(0);
    EXPECT_TRUE(homeClosedMeanwhile);
    EXPECT_TRUE(editorConnected);
    EXPECT_FALSE(home.link().isOpen());
    EXPECT_TRUE(sharedState().reopenHomePort);
    // The clip the editor saw is what it leaves behind.
    EXPECT_EQ(sharedState().editorStatus, AmpStatus{AmpStatusKind::Clip});

    // The first tick fell while the editor had the line and did nothing; the
    // next one reopens the home page's port. The editor's status lands on
    // the row of its amplifier, the other row shows its own reply.
    clock->advance(ZhuYe::pollPeriodMs + 300);
    EXPECT_TRUE(home.link().isOpen());
    EXPECT_EQ(home.table().text(0, DeviceTable::StateColumn), QStringLiteral("clip"));
    EXPECT_EQ(home.table().text(0, DeviceTable::ConnectionColumn), QStringLiteral("The connection"));
    EXPECT_EQ(home.table().text(1, DeviceTable::ConnectionColumn), QStringLiteral("The connection"));
}

} // namespace
