#include "app/RegularFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {
namespace {

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

ReadOutcome refused(int errorCode, const QString& reason)
{
    ReadOutcome outcome;
    outcome.errorCode = errorCode;
    outcome.reason = reason;
    return outcome;
}

QString systemReason(int errorCode)
{
    switch (errorCode) {
    case ENOENT:
        return QCoreApplication::translate("RegularFile", "there is no such file");
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("RegularFile", "permission denied");
    case EISDIR:
        return QCoreApplication::translate("RegularFile", "it is a folder");
    case EIO:
        return QCoreApplication::translate("RegularFile", "the disk could not be read");
    default:
        return QCoreApplication::translate("RegularFile", "system error %1").arg(errorCode);
    }
}

QString tooLarge(qsizetype largestBytes)
{
    return QCoreApplication::translate("RegularFile", "it is larger than %1 bytes").arg(largestBytes);
}

} // namespace

ReadOutcome read(const QString& path, qsizetype largestBytes)
{
    // Non-blocking, so that opening a named pipe does not wait for a writer.
    Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
        const int error = errno;
        return refused(error, systemReason(error));
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        const int error = errno;
        return refused(error, systemReason(error));
    }
    if (S_ISDIR(info.st_mode))
        return refused(EISDIR, systemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        return refused(EINVAL, QCoreApplication::translate("RegularFile", "it is no regular file"));
    if (info.st_size > largestBytes)
        return refused(EFBIG, tooLarge(largestBytes));
    QByteArray bytes;
    // One byte more than allowed tells a file that grew since fstat.
    bytes.resize(static_cast<qsizetype>(info.st_size) + 1);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            return refused(error, systemReason(error));
        }
        if (n == 0)
            break;
        got += n;
        if (got > largestBytes)
            return refused(EFBIG, tooLarge(largestBytes));
        if (got == bytes.size())
            bytes.resize(bytes.size() + 4096);
    }
    bytes.resize(got);
    ReadOutcome outcome;
    outcome.bytes = std::move(bytes);
    return outcome;
}

} // namespace RegularFile
