#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Every file the program reads is read through here: only a regular file of
// a sensible size, refused at once otherwise. A named pipe would block the
// window for ever, a device such as /dev/zero never ends, and a huge file
// chosen by mistake would be read whole into memory. One realisation per
// platform: RegularFilePosix.cpp.
namespace RegularFile {

struct ReadOutcome {
    std::optional<QByteArray> bytes;
    // The cause (errno): that of the failed open or read, EISDIR for a
    // folder, EINVAL for anything else that is no regular file, EFBIG for a
    // file over the limit. 0 when the bytes are there.
    int errorCode = 0;
    // The cause in words, in the interface language.
    QString reason;
};

// The whole content of `path` when it is a regular file of at most
// `largestBytes` bytes.
ReadOutcome read(const QString& path, qsizetype largestBytes);

} // namespace RegularFile
