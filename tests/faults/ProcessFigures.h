#pragma once

#include <QDir>
#include <QFile>
#include <QRegularExpression>

// Resident memory and open descriptors of this process, from /proc.
namespace ProcessFigures {

inline qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const auto match = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+) kB")).match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

inline int openDescriptors()
{
    // The listing itself holds one descriptor while it reads.
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()) - 1;
}

} // namespace ProcessFigures
