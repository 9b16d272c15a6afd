#pragma once

#include "response/EqFilterText.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Filter files on disk, for the editor and vx4ctl alike: read only when a
// regular file of sensible size, written atomically. The texts are in the
// interface language and name the file.
namespace EqFileStore {

// A filter file is a few kilobytes; a megabyte is surely something else.
inline constexpr qsizetype largestFileBytes = 1024 * 1024;

struct Loaded {
    std::optional<EqFileText> text;
    // "Cannot import room.txt: line 4: Fc needs a number." when refused.
    QString problem;
    // Whether the refusal was the file's content, not its reading.
    bool malformed = false;
};
Loaded load(const QString& path);

// Empty when written; otherwise "Cannot save …: reason". The file as it was
// stays whole when writing fails.
QString save(const QString& path, const QByteArray& bytes);

} // namespace EqFileStore
