#pragma once

#include <QString>

// Process-wide bookkeeping of serial device paths: the port number of each
// path (1, 2, 3 ... in the order paths are first seen, never reused while the
// process runs) and the set of paths a CMscomm1 of this process holds open.
namespace PortRegistry {

// The number of devicePath, assigning the next free one on first sight.
int numberOf(const QString& devicePath);
// The path a number was given to; empty when the number is unknown.
QString pathOf(int portNumber);

// Open paths are compared by the file they resolve to, so a symbolic link
// and its target count as one port.
bool isOpenHere(const QString& devicePath);
void markOpen(const QString& devicePath);
void markClosed(const QString& devicePath);

} // namespace PortRegistry
