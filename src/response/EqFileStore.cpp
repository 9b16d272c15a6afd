#include "response/EqFileStore.h"

#include "app/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace EqFileStore {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("EqFile", text); }

} // namespace

Loaded load(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    const RegularFile::ReadOutcome file = RegularFile::read(path, largestFileBytes);
    if (!file.bytes)
        return {std::nullopt, tr("Cannot read %1: %2.").arg(name, file.reason), false};
    EqTextRead read = readEqText(*file.bytes);
    if (!read.ok())
        return {std::nullopt, tr("Cannot import %1: %2.").arg(QFileInfo(path).fileName(), eqTextErrorText(read.error)),
                true};
    return {std::move(read.text), {}, false};
}

QString save(const QString& path, const QByteArray& bytes)
{
    const QString name = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("Cannot save %1: %2.").arg(name, file.errorString());
    // commit() does not look at how its own flush went: a disk that fills
    // in the last buffer would leave a cut-off file. So the flush is checked
    // here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return tr("Cannot save %1: %2.").arg(name, reason);
    }
    if (!file.commit())
        return tr("Cannot save %1: %2.").arg(name, file.errorString());
    return {};
}

} // namespace EqFileStore
