#pragma once

// Finding the controls of a window as a screen reader does: by their
// accessible names ("Vol(dB) CHB", "Filter type", "Connection status"), and
// its menu items by their texts. A test names what the user sees instead of
// reaching into the window's parts.

#include <QAction>
#include <QList>
#include <QMenu>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <source_location>
#include <stdexcept>
#include <string>

// Thrown where a test looked for a control that is not there, or not once:
// the failure is recorded at the test's line, and the test stops there
// instead of running on into a null pointer. (Recorded as well as thrown:
// a menu item's action may catch what its code throws.)
class ControlNotFound : public std::runtime_error {
public:
    ControlNotFound(const std::string& what, const std::source_location& where) : std::runtime_error(what)
    {
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << what;
    }

    // "no control", "2 controls"
    static std::string count(qsizetype found, const char* what)
    {
        return found == 0 ? std::string("no ") + what : std::to_string(found) + ' ' + what + 's';
    }
};

// Every control of type T in the window (at any depth) with this accessible
// name. A list is found by the name set on it, which it also carries as its
// description (the accessibility interface reports a list's current text as
// its name).
template <typename T = QWidget>
QList<T*> controlsNamed(const QWidget& window, const QString& name)
{
    QList<T*> found;
    for (T* control : window.findChildren<T*>()) {
        if (control->accessibleName() == name)
            found.append(control);
    }
    return found;
}

// The one control of type T with this accessible name; fails the test when
// there is none or more than one.
template <typename T = QWidget>
T* control(const QWidget& window, const QString& name, std::source_location where = std::source_location::current())
{
    const QList<T*> found = controlsNamed<T>(window, name);
    if (found.size() != 1) {
        throw ControlNotFound(ControlNotFound::count(found.size(), "control") + " of type "
                                  + T::staticMetaObject.className() + " named \"" + name.toStdString() + "\" in "
                                  + window.metaObject()->className(),
                              where);
    }
    return found.first();
}

// The window's menu with this title ("Tools").
inline QMenu* menuTitled(const QWidget& window, const QString& title,
                         std::source_location where = std::source_location::current())
{
    QList<QMenu*> found;
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        if (menu->title() == title)
            found.append(menu);
    }
    if (found.size() != 1) {
        throw ControlNotFound(ControlNotFound::count(found.size(), "menu") + " titled \"" + title.toStdString()
                                  + "\" in " + window.metaObject()->className(),
                              where);
    }
    return found.first();
}

// The item with this text in any of the window's menus, submenus included.
inline QAction* menuItem(const QWidget& window, const QString& text,
                         std::source_location where = std::source_location::current())
{
    QList<QAction*> found;
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->text() == text && !found.contains(action))
                found.append(action);
        }
    }
    if (found.size() != 1) {
        throw ControlNotFound(ControlNotFound::count(found.size(), "menu item") + " \"" + text.toStdString()
                                  + "\" in " + window.metaObject()->className(),
                              where);
    }
    return found.first();
}
