// "save.txt" as the home page loads it: any bytes in the file, read into the
// device table, then saved and loaded again as the next start would. The
// first byte picks the interface language; the rest is the file.
#include "FuzzSupport.h"

#include "app/UiLanguage.h"
#include "devices/DeviceListFile.h"
#include "devices/DeviceTable.h"
#include "devices/DeviceTexts.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QString listPath()
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir.filePath(QStringLiteral("save.txt"));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    setUiLanguage(input.takeByte() & 1);
    const QByteArray bytes = input.rest();

    const QList<DeviceListFile::Entry> entries = DeviceListFile::decode(bytes);
    const qsizetype lines = bytes.count('\n') + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
    FUZZ_CHECK(entries.size() == lines);
    for (const DeviceListFile::Entry& entry : entries) {
        FUZZ_CHECK(!entry.address.contains(u' '));
        FUZZ_CHECK(!entry.address.contains(u'\n') && !entry.name.contains(u'\n'));
    }

    const QString path = listPath();
    writeFile(path, bytes);
    DeviceTable table;
    table.appendRow(QStringLiteral("9"), QStringLiteral("left over"), QString(), QString());
    FUZZ_CHECK(DeviceListFile::load(path, table).error.isEmpty());
    FUZZ_CHECK(table.size() == entries.size());
    for (int row = 0; row < table.size(); ++row) {
        FUZZ_CHECK(table.text(row, DeviceTable::NumberColumn) == QString::number(row + 1));
        FUZZ_CHECK(table.text(row, DeviceTable::AddressColumn) == entries[row].address);
        FUZZ_CHECK(table.text(row, DeviceTable::NameColumn) == entries[row].name);
        FUZZ_CHECK(table.text(row, DeviceTable::ConnectionColumn) == DeviceTexts::notConnected());
        FUZZ_CHECK(table.text(row, DeviceTable::StateColumn).isEmpty());
    }

    // Saved and loaded back, the list keeps its rows; after that one trip
    // through the code page every further trip changes nothing. (The bytes
    // save() writes are encode()'s; save() itself syncs to disk, too slow
    // for every input.)
    writeFile(path, DeviceListFile::encode(table));
    DeviceTable reloaded;
    FUZZ_CHECK(DeviceListFile::load(path, reloaded).error.isEmpty());
    FUZZ_CHECK(reloaded.size() == table.size());
    const QByteArray saved = DeviceListFile::encode(reloaded);
    DeviceTable third;
    writeFile(path, saved);
    FUZZ_CHECK(DeviceListFile::load(path, third).error.isEmpty());
    FUZZ_CHECK(DeviceListFile::encode(third) == saved);
    return 0;
}
