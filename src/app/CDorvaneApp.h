#pragma once

#include <QApplication>

// The application object. It is also the top-level handler of errors:
// a serial error raised by any window's link ends the action in progress and
// its text is shown in a message box; the program keeps running.
class CDorvaneApp : public QApplication {
    Q_OBJECT

public:
    CDorvaneApp(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs action under the same handler (for work started outside events).
    static bool runGuarded(const std::function<void()>& action);
};
