#include "eventlog/DiskSync.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace DiskSync {

bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool synced = ::fdatasync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace DiskSync
