#include "app/CDorvaneApp.h"
#include "app/SharedState.h"
#include "app/Translations.h"
#include "app/UiLanguage.h"
#include "devices/ZhuYe.h"
#include "editor/CDorvaneDlg.h"
#include "devices/EventLogWindow.h"
#include "widgets/FontSubstitutions.h"
#include "widgets/UserDialogs.h"

#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

// Answers --version and --help without opening a window; the program needs
// no arguments, and others are ignored.
bool answeredWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            // Says whether the Chinese catalogue is there, so an installation
            // can be checked without opening a window.
            QTranslator catalogue;
            const bool chinese = catalogue.load(QStringLiteral(":/i18n/vx4_zh_CN.qm"));
            std::printf("vx4-editor %s\ninterface languages: English%s\n", VX4_VERSION, chinese ? ", Chinese" : "");
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: vx4-editor\n"
                        "Editor and monitor for VX-4 DSP power amplifiers on a serial bus.\n"
                        "Extra serial devices (such as a vx4-sim pseudo-terminal) are listed\n"
                        "when named in VX4_EXTRA_PORTS (colon-separated device paths).\n");
            return true;
        }
    }
    return false;
}

// The event log beside the home page's device list, written by every
// window of the program; what it must tell the user is told once the home
// page is up.
void startEventLog(EventLog& log, ZhuYe& home)
{
    useEventLog(&log);
    if (const QString notice = log.notice(); !notice.isEmpty())
        QTimer::singleShot(0, &home, [&home, notice] { UserDialogs::showMessage(&home, notice); });
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredWithoutWindow(argc, argv))
        return 0;

    CDorvaneApp app(argc, argv);
    app.setApplicationName(QStringLiteral("vx4-editor"));
    app.setApplicationVersion(QStringLiteral(VX4_VERSION));

    setUiLanguage(uiLanguageFromLocaleName(QLocale::system().name()));
    installUiCatalogue(app);
    installFontSubstitutions();
    resetSharedState();

    ZhuYe home;
    // The adapter of the editor's amplifier was pulled: the editor has
    // closed, and the program ends with the home page.
    CDorvaneDlg::setHomeCloser([&home] { home.done(QDialog::Rejected); });
    home.setEditorOpener([](QWidget*, const EditorTarget& target) {
        CDorvaneDlg editor(target);
        editor.exec();
    });
    EventLog log(EventLog::pathBeside(home.deviceListPath()));
    startEventLog(log, home);
    home.exec();
    useEventLog(nullptr);
    return 0;
}
