#pragma once

#include "presets/PresetFile.h"

#include <functional>

class QWidget;
class SerialLink;

// The editor's Tools menu items of the presets, for CDorvaneDlg to call with
// its own link and amplifier address. A SerialError of the link reaches the
// caller (the editor runs its menu items through UserDialogs::runAction).
namespace PresetActions {

// What the editor does around a load and after a read-back request.
struct EditorHooks {
    // Reads the answer to the full-state request already sent and shows it:
    // the editor's refreshFromReply, its controls and the graph repaint.
    std::function<void()> readBack;
    // true when a load starts (the editor's loading flag on; the graph
    // ignores mouse moves until the next press), false when it ends, also
    // when it was cancelled, failed or the link raised an error.
    std::function<void(bool loading)> setLoading;
};

// "Save as": a save-file dialog (extension "save", asks before replacing),
// then the editor amplifier's full-state reply into the file, written only
// when bytes arrived. Shows nothing in either outcome.
PresetFile::SaveOutcome saveAs(QWidget* parent, SerialLink& editorLink, DeviceAddress address);
// What the editor tells the user after "Save as": nothing when the file was
// written or no file was chosen; otherwise why nothing was saved.
QString saveOutcomeText(const PresetFile::SaveOutcome& outcome);

// "Synchronized to this Device" / "Synchronized to all Device": an open-file
// dialog ("OpenSave", "File(*.save)"), the file replayed to this amplifier or
// to all, 3000 ms, then the read-back of the editor's own amplifier through
// hooks.readBack. An unreadable file shows "File could not be opened %d\n"
// and sends nothing. Returns whether the file was sent.
bool loadToThis(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks);
bool loadToAll(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks);
bool load(QWidget* parent, SerialLink& editorLink, DeviceAddress address, PresetFile::Target target,
          const EditorHooks& hooks);

// "Save/Recall": the editor closes its link, the preset-slot dialog runs
// modally on its own link, the editor's link is reopened on the port and
// settings it had (a link that was closed before stays closed), and once
// any slot has been recalled in this run (SharedState.presetRecalled) the
// full-state request goes to `address` and hooks.readBack shows the answer.
// Returns whether that read-back happened.
bool runSaveRecall(QWidget* parent, SerialLink& editorLink, DeviceAddress address, const EditorHooks& hooks);

} // namespace PresetActions
