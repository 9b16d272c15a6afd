#pragma once

#include <QString>

// The editor's caption, which the painted frame composes at every paint.
namespace EditorTitle {

// "Device address：3    Device name：…    Loading save ID：…     Loading save
// Name：…", in Chinese or English; the slot is left empty while it is 0.
QString deviceLine(int language, int address, const QString& name, int slot, const QString& presetName);
// The same from SharedState in the interface language.
QString sharedDeviceLine();
// The line of an editor working offline, which says so at its end.
QString offlineDeviceLine(int language, const QString& deviceLine);
QString sharedOfflineDeviceLine();

} // namespace EditorTitle
