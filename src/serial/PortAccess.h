#pragma once

#include <QString>

// What the system says about a serial device, for the words of a refusal.
// One realisation per platform: PortAccessPosix.cpp.
namespace PortAccess {

// The cause (an errno value) a plain open of the device meets now; 0 when it
// opens.
int openError(const QString& devicePath);

// The group whose members may use the device (typically "dialout"), its
// number when it has no name, empty when the device cannot be examined.
QString owningGroup(const QString& devicePath);

} // namespace PortAccess
