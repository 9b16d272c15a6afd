#include "widgets/UserDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include <exception>

namespace UserDialogs {
namespace {

MessageSink& messageSink()
{
    static MessageSink sink;
    return sink;
}

ErrorObserver& errorObserver()
{
    static ErrorObserver observer;
    return observer;
}

SaveAnswerer& saveAnswerer()
{
    static SaveAnswerer answerer;
    return answerer;
}

FileChooser& fileChooser()
{
    static FileChooser chooser;
    return chooser;
}

// The platform title of a window whose own title is empty: one blank,
// which shows as nothing.
const QString blankTitle = QStringLiteral(" ");

class UntitledKeeper : public QObject {
public:
    explicit UntitledKeeper(QWidget* dialog) : QObject(dialog), dialog(dialog) { dialog->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
        case QEvent::WindowTitleChange:
            if (QWindow* handle = dialog->windowHandle(); handle && dialog->windowTitle().isEmpty())
                handle->setTitle(blankTitle);
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* dialog;
};

} // namespace

QString programTitle()
{
    return QStringLiteral("Velquist VX-4 editor");
}

void keepUntitled(QWidget* dialog)
{
    dialog->setWindowTitle(QString());
    new UntitledKeeper(dialog);
}

void showMessage(QWidget* parent, const QString& text)
{
    if (messageSink()) {
        messageSink()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, programTitle(), text, QMessageBox::Ok, parent);
    // Messages carry file names the user typed and texts amplifiers sent:
    // they are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void showError(QWidget* parent, const QString& text, ErrorKind kind)
{
    if (errorObserver())
        errorObserver()(text, kind);
    showMessage(parent, text);
}

void setErrorObserver(ErrorObserver observer)
{
    errorObserver() = std::move(observer);
}

bool runAction(QWidget* parent, const std::function<void()>& action, QString* shown)
{
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        // The serial error carries its text as UTF-8.
        const QString text = QString::fromUtf8(error.what());
        showError(parent, text, ErrorKind::Serial);
        if (shown)
            *shown = text;
    }
    return false;
}

QString chooseFile(QWidget* parent, const FileRequest& request)
{
    if (fileChooser())
        return fileChooser()(request);
    QFileDialog dialog(parent, request.caption, request.directory, request.filter);
    if (request.kind == FileRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The dialog asks before it replaces an existing file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

SaveAnswer askToSave(QWidget* parent, const QString& text)
{
    if (saveAnswerer())
        return saveAnswerer()(text);
    QMessageBox box(QMessageBox::Question, programTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    // Qt's own catalogue is not always installed: the buttons carry ours.
    box.button(QMessageBox::Save)->setText(QCoreApplication::translate("UserDialogs", "Save"));
    box.button(QMessageBox::Discard)->setText(QCoreApplication::translate("UserDialogs", "Don't save"));
    box.button(QMessageBox::Cancel)->setText(QCoreApplication::translate("UserDialogs", "Cancel"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

void setSaveAnswerer(SaveAnswerer answerer)
{
    saveAnswerer() = std::move(answerer);
}

void setMessageSink(MessageSink sink)
{
    messageSink() = std::move(sink);
}

void setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

MessageRecorder::MessageRecorder()
{
    setMessageSink([this](const QString& text) { messages.append(text); });
}

MessageRecorder::~MessageRecorder()
{
    setMessageSink({});
}

} // namespace UserDialogs
