#pragma once

#include <QString>

// Puts what was written to a file onto the disk, whoever wrote it: the
// system's cache of a file is one for every handle. One realisation per
// platform: DiskSyncPosix.cpp.
namespace DiskSync {

// False when the file cannot be opened or synced.
bool syncFile(const QString& path);

} // namespace DiskSync
