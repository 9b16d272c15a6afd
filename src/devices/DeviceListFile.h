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

// Replaces the table's rows with the file's, as "Not connected" with an empty
// Equipment state. A missing file leaves the table empty and is no error.
// Returns an error text naming the file, empty on success.
QString load(const QString& path, DeviceTable& table);
// True when the file is there but cannot be read: the table then stays
// empty, and saving it would replace the user's list with that empty one.
bool existsUnreadable(const QString& path);
// The text that says a save was refused for that reason.
QString notWrittenOverText(const QString& path);

// Writes atomically: on failure the previous file stays as it was. Returns an
// error text naming the file and the reason, empty on success.
QString save(const QString& path, const DeviceTable& table);

} // namespace DeviceListFile
