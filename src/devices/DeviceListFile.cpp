#include "devices/DeviceListFile.h"

#include "app/CodePage.h"
#include "app/RegularFile.h"
#include "app/UiLanguage.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

namespace DeviceListFile {
namespace {

constexpr const char* codePage = "CP936";

QString failureText(bool saving, const QString& path, const QString& reason)
{
    const QString name = QDir::toNativeSeparators(path);
    if (uiLanguage() == chineseUi)
        return (saving ? QString::fromUtf8("无法保存 %1：%2") : QString::fromUtf8("无法读取 %1：%2")).arg(name, reason);
    return (saving ? QStringLiteral("Cannot save %1: %2") : QStringLiteral("Cannot read %1: %2")).arg(name, reason);
}

} // namespace

// The editor's own folder: the running program's, or, for vx4ctl in the
// build tree, the folder where the editor is built beside it.
QString editorProgramDir()
{
    const QString own = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {own, QDir(own).filePath(QStringLiteral("../src/app"))}) {
        if (QFileInfo(QDir(candidate).filePath(QStringLiteral("vx4-editor"))).isExecutable())
            return QDir(candidate).canonicalPath();
    }
    return own;
}

// An installed editor (its desktop entry beside bin/ in share/) keeps the
// list in the user's data folder even where it could write into bin/, as
// root can: the list belongs to the user, not to the installation.
bool isInstalled(const QString& programDir)
{
    return QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("../share/applications/vx4-editor.desktop")));
}

QString defaultPath()
{
    const QString programDir = editorProgramDir();
    if (!programDir.isEmpty() && !isInstalled(programDir) && QFileInfo(programDir).isWritable())
        return QDir(programDir).filePath(QString::fromLatin1(fileName));
    // A fixed folder name, so that vx4ctl finds the editor's list too.
    const QString dataDir = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                .filePath(QStringLiteral("vx4-editor"));
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(QString::fromLatin1(fileName));
}

QByteArray encode(const DeviceTable& table)
{
    QByteArray bytes;
    for (const DeviceRow& row : table.allRows()) {
        bytes += CodePage::fromUnicode(row.address + QLatin1Char(' ') + row.name, codePage);
        bytes += "\r\n";
    }
    return bytes;
}

QList<Entry> decode(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    // The end of the last line is no line of its own.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<Entry> entries;
    entries.reserve(lines.size());
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = CodePage::toUnicode(line, codePage);
        const qsizetype space = text.indexOf(QLatin1Char(' '));
        if (space < 0)
            entries.append({QString(), text});
        else
            entries.append({text.left(space), text.mid(space + 1)});
    }
    return entries;
}

LoadOutcome load(const QString& path, DeviceTable& table)
{
    table.clear();
    LoadOutcome outcome;
    const RegularFile::ReadOutcome file = RegularFile::read(path, largestFileBytes);
    if (file.bytes) {
        for (const Entry& entry : decode(*file.bytes))
            table.appendRow(entry.address, entry.name, DeviceTexts::notConnected(), QString());
        return outcome;
    }
    // No list yet (nor its folder): an empty table, written at the first save.
    if (file.errorCode == ENOENT || file.errorCode == ENOTDIR)
        return outcome;
    // The file is there but was not read: saving the empty table over it
    // would lose the user's list.
    outcome.keepFile = true;
    outcome.cannotOpen = file.errorCode == EACCES || file.errorCode == EPERM || file.errorCode == EISDIR;
    outcome.error = failureText(false, path, file.reason);
    return outcome;
}

QString notWrittenOverText(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    if (uiLanguage() == chineseUi)
        return QString::fromUtf8("无法读取 %1，因此不覆盖它；设备表的更改未保存。").arg(name);
    return QStringLiteral("%1 could not be read, so it is not written over; the changes to the device table are not saved.").arg(name);
}

QString save(const QString& path, const DeviceTable& table)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failureText(true, path, file.errorString());
    const QByteArray bytes = encode(table);
    // commit() does not look at how its own flush went: a disk that fills
    // in the last buffer would replace the list with a cut-off one. So the
    // buffer is flushed, and checked, here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failureText(true, path, reason);
    }
    if (!file.commit())
        return failureText(true, path, file.errorString());
    return {};
}

} // namespace DeviceListFile
