#include "app/CDorvaneApp.h"

#include "serial/SerialError.h"
#include "widgets/UserDialogs.h"

#include <cstdio>

namespace {

void showError(const QString& text)
{
    UserDialogs::showError(QApplication::activeWindow(), text, UserDialogs::ErrorKind::Serial);
}

} // namespace

CDorvaneApp::CDorvaneApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool CDorvaneApp::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

bool CDorvaneApp::runGuarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const SerialError& error) {
        showError(error.text());
    } catch (const std::exception& error) {
        // Nothing else is meant to escape a window; keep the program alive
        // and say what happened rather than vanish on stage.
        std::fprintf(stderr, "vx4-editor: %s\n", error.what());
        showError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
