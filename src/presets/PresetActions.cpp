#include "presets/PresetActions.h"

#include "app/SharedState.h"
#include "eventlog/EventLog.h"
#include "presets/Save_Recall.h"
#include "serial/SerialLink.h"
#include "widgets/UserDialogs.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace PresetActions {

namespace {

// Clears the loading flag however the load ends.
class LoadingScope {
public:
    explicit LoadingScope(const EditorHooks& hooks) : hooks(hooks)
    {
        if (hooks.setLoading)
            hooks.setLoading(true);
    }
    ~LoadingScope()
    {
        if (hooks.setLoading)
            hooks.setLoading(false);
    }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    const EditorHooks& hooks;
};

// Records a preset file's load or save for the editor's amplifier.
void note(DeviceAddress address, const QString& kind, const QString& text)
{
    logEvent(address, sharedState().selectedName, kind, text);
}

} // namespace

PresetFile::SaveOutcome saveAs(QWidget* parent, SerialLink& editorLink, DeviceAddress address)
{
    UserDialogs::FileRequest request;
    request.kind = UserDialogs::FileRequest::Save;
    request.defaultSuffix = QString::fromLatin1(PresetFile::suffix);
    const QString path = UserDialogs::chooseFile(parent, request);
    if (path.isEmpty())
        return {PresetFile::SaveResult::Cancelled, 0, {}};
    PresetFile::SaveOutcome outcome = PresetFile::save(editorLink, address, path);
    if (outcome.result == PresetFile::SaveResult::Written)
        note(address, QStringLiteral("preset.saved"),
             QCoreApplication::translate("PresetActions", "Preset saved to %1").arg(QFileInfo(path).fileName()));
    return outcome;
}

QString saveOutcomeText(const PresetFile::SaveOutcome& outcome)
{
    switch (outcome.result) {
    case PresetFile::SaveResult::Written:
    case PresetFile::SaveResult::Cancelled:
        return {};
    case PresetFile::SaveResult::NoAnswer:
        return QCoreApplication::translate("PresetActions", "The amplifier did not answer; nothing was saved.");
    case PresetFile::SaveResult::CannotOpen:
    case PresetFile::SaveResult::WriteFailed:
        return QCoreApplication::translate("PresetActions", "The file could not be saved: %1").arg(outcome.error);
    }
    return {};
}

bool load(QWidget* parent, SerialLink& editorLink, DeviceAddress address, PresetFile::Target target,
          const EditorHooks& hooks)
{
    const LoadingScope loading(hooks);
    UserDialogs::FileRequest request;
    request.kind = UserDialogs::FileRequest::Open;
    request.caption = QCoreApplication::translate("PresetActions", "OpenSave");
    request.filter = QCoreApplication::translate("PresetActions", "File(*.save)");
    const QString path = UserDialogs::chooseFile(parent, request);
    if (path.isEmpty())
        return false;
    const bool loaded = PresetFile::load(
        editorLink, path, address, target,
        [parent](const QString& text) { UserDialogs::showError(parent, text, UserDialogs::ErrorKind::File); },
        hooks.readBack);
    if (loaded) {
        const QString file = QFileInfo(path).fileName();
        note(address, QStringLiteral("preset.loaded"),
             target == PresetFile::Target::AllAmplifiers
                 ? QCoreApplication::translate("PresetActions", "Preset %1 loaded into every amplifier").arg(file)
                 : QCoreApplication::translate("PresetActions", "Preset %1 loaded").arg(file));
    }
    return loaded;
}

bool loadToThis(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks)
{
    return load(parent, editorLink, address, PresetFile::Target::ThisAmplifier, hooks);
}

bool loadToAll(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks)
{
    return load(parent, editorLink, address, PresetFile::Target::AllAmplifiers, hooks);
}

bool runSaveRecall(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks)
{
    const bool wasOpen = editorLink.isOpen();
    const int port = editorLink.portNumber();
    const QString settings = editorLink.settings();
    if (wasOpen)
        editorLink.close();
    {
        Save_Recall dialog(parent);
        dialog.run();
    }
    // Reopened only where it was open: a link that never found its amplifier
    // must not look connected after the dialog.
    if (wasOpen && !editorLink.isOpen())
        editorLink.open(port, settings);
    if (!editorLink.isOpen() || !sharedState().presetRecalled)
        return false;
    editorLink.write(Commands::fullStateRequest(address));
    if (hooks.readBack)
        hooks.readBack();
    return true;
}

} // namespace PresetActions
