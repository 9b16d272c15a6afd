#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class DeviceTable;

// The device list "save.txt": one line per row, "<address> <name>", code page
// 936, lines ended by CR LF. Only the address and name cells are stored.
namespace DeviceListFile {

struct Entry {
    QString address;
    QString name;
    bool operator==(const Entry&) const = default;
};

inline constexpr const char* fileName = "save.txt";

// Beside the editor program when that folder is writable and the editor is
// not installed, otherwise in the user's data folder,
// ~/.local/share/vx4-editor (created when missing).
QString defaultPath();

QByteArray encode(const DeviceTable& table);
// Also takes LF-only lines and a last line without an end.
QList<Entry> decode(const QByteArray& bytes);

// A list of 254 rows is a few kilobytes; anything far larger is no list.
inline constexpr qsizetype largestFileBytes = 256 * 1024;

struct LoadOutcome {
    QString error;           // why the file was not read, naming it; empty when all is well
    bool keepFile = false;   // the file is there but was not read: never write over it
    bool cannotOpen = false; // it cannot be opened (no permission, a folder)
};

// Replaces the table's rows with the file's, as "Not connected" with an empty
// Equipment state. A missing file leaves the table empty and is no error;
// one that cannot be opened, is no regular file or is larger than
// largestFileBytes is refused at once and leaves the table empty.
LoadOutcome load(const QString& path, DeviceTable& table);
// The text that says a save was refused for that reason.
QString notWrittenOverText(const QString& path);

// Writes atomically: on failure the previous file stays as it was. Returns an
// error text naming the file and the reason, empty on success.
QString save(const QString& path, const DeviceTable& table);

} // namespace DeviceListFile
