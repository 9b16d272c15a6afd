#include "serial/PortRegistry.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace {

struct Registry {
    QStringList paths; // index + 1 is the port number
    QHash<QString, int> numbers;
    QHash<QString, QString> open; // path as opened -> file it resolved to then
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

QString identity(const QString& devicePath)
{
    const QString resolved = QFileInfo(devicePath).canonicalFilePath();
    return resolved.isEmpty() ? devicePath : resolved;
}

} // namespace

int PortRegistry::numberOf(const QString& devicePath)
{
    Registry& r = registry();
    const auto found = r.numbers.constFind(devicePath);
    if (found != r.numbers.cend())
        return *found;
    r.paths.append(devicePath);
    const int number = static_cast<int>(r.paths.size());
    r.numbers.insert(devicePath, number);
    return number;
}

QString PortRegistry::pathOf(int portNumber)
{
    const Registry& r = registry();
    if (portNumber < 1 || portNumber > r.paths.size())
        return {};
    return r.paths.at(portNumber - 1);
}

bool PortRegistry::isOpenHere(const QString& devicePath)
{
    const Registry& r = registry();
    if (r.open.contains(devicePath))
        return true;
    const QString file = identity(devicePath);
    return std::any_of(r.open.cbegin(), r.open.cend(), [&](const QString& f) { return f == file; });
}

void PortRegistry::markOpen(const QString& devicePath)
{
    registry().open.insert(devicePath, identity(devicePath));
}

// Keyed by the path as opened: a vanished device no longer resolves.
void PortRegistry::markClosed(const QString& devicePath)
{
    registry().open.remove(devicePath);
}
