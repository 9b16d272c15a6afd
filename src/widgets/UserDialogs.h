#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one way the program shows a message or asks for a file, so that tests
// can answer without a person and read what would have been shown.
namespace UserDialogs {

// The program's name: the home page's title and the title of every message
// box. Other windows carry their own titles only; the platform adds
// nothing to them.
QString programTitle();

// A plain message box with one OK button.
void showMessage(QWidget* parent, const QString& text);

// What went wrong, for the error observer.
enum class ErrorKind { Serial, File };
// A message box that tells of an error the user must know about; the error
// observer hears of it first.
void showError(QWidget* parent, const QString& text, ErrorKind kind);
// Hears of every error shown (the windows keep them in the event log).
using ErrorObserver = std::function<void(const QString& text, ErrorKind kind)>;
void setErrorObserver(ErrorObserver observer);

// Keeps a dialog without a title also on the screen, where the platform
// would put the program's name in place of an empty title.
void keepUntitled(QWidget* dialog);

// Runs one user action (a button, a timer tick, a receive event). An error
// it raises, a serial link's refusal above all, ends the action there and
// its text is shown as a serial error; the window goes on. Windows run their entry points
// through this rather than let an exception unwind through Qt's event
// delivery. Returns false when the action ended in an error; the text shown
// then goes to *shown when given.
bool runAction(QWidget* parent, const std::function<void()>& action, QString* shown = nullptr);

// Asks whether unsaved work is to be saved before it would be dropped:
// "Save", "Discard" or "Cancel" (Esc, closing the box).
enum class SaveAnswer { Save, Discard, Cancel };
SaveAnswer askToSave(QWidget* parent, const QString& text);

struct FileRequest {
    enum Kind { Open, Save } kind = Open;
    QString caption;
    QString directory;
    QString filter;       // "File(*.save)"
    QString defaultSuffix; // added to a saved name without one
};
// The chosen path, empty when the user cancelled.
QString chooseFile(QWidget* parent, const FileRequest& request);

// Test seams: while set, they replace the real dialogs.
using MessageSink = std::function<void(const QString& text)>;
using FileChooser = std::function<QString(const FileRequest& request)>;
using SaveAnswerer = std::function<SaveAnswer(const QString& text)>;
void setMessageSink(MessageSink sink);
void setFileChooser(FileChooser chooser);
void setSaveAnswerer(SaveAnswerer answerer);

// Records every message shown while it lives (for tests).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QStringList messages;
};

} // namespace UserDialogs
