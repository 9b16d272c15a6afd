#include "serial/SerialPorts.h"

#include "serial/PortRegistry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSet>
#include <limits>

namespace {

std::function<QList<SerialPorts::PresentPort>()>& sourceOverride()
{
    static std::function<QList<SerialPorts::PresentPort>()> source;
    return source;
}

std::function<bool(const QString&)>& openTestOverride()
{
    static std::function<bool(const QString&)> test;
    return test;
}

QString fileIdentity(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

int PortNumberFromName(QStringView displayName)
{
    const qsizetype m = displayName.indexOf(u'M');
    const qsizetype start = m < 0 ? 0 : m + 1;
    const qsizetype close = displayName.indexOf(u')');
    if (close < start)
        return 0;
    qint64 value = 0;
    for (const QChar c : displayName.sliced(start, close - start)) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
        // No port carries such a number; never let the value overflow.
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(value);
}

namespace SerialPorts {

QList<PresentPort> systemPorts()
{
    QList<PresentPort> ports;
    QSet<QString> seen;
    const auto add = [&](PresentPort port) {
        if (seen.contains(fileIdentity(port.devicePath)))
            return;
        seen.insert(fileIdentity(port.devicePath));
        ports.append(std::move(port));
    };
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        add({info.systemLocation(), info.description(), info.hasVendorIdentifier()});
    const QString extra = qEnvironmentVariable("VX4_EXTRA_PORTS");
    for (const QString& path : extra.split(u':', Qt::SkipEmptyParts)) {
        if (QFileInfo::exists(path))
            add({path, {}, false});
    }
    return ports;
}

bool canOpenNow(const QString& devicePath)
{
    // Opened the way the link opens it, with the same rules: the lock file
    // another program holds, an exclusive hold, permissions. A port listed
    // is then a port the link can open. (Non-blocking inside, so a port
    // waiting for carrier does not hang the list.)
    QSerialPort port;
    port.setPortName(devicePath);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

void setPresentPortsSource(std::function<QList<PresentPort>()> source)
{
    sourceOverride() = std::move(source);
}

void setOpenTest(std::function<bool(const QString&)> test)
{
    openTestOverride() = std::move(test);
}

QList<PresentPort> presentPorts()
{
    return sourceOverride() ? sourceOverride()() : systemPorts();
}

QString displayNameFor(int portNumber, const QString& description, const QString& devicePath)
{
    const QString shown = description.isEmpty()
        ? QCoreApplication::translate("SerialPorts", "Serial port")
        : description;
    return QStringLiteral("COM%1: %2 (%3)").arg(portNumber).arg(shown, devicePath);
}

QString descriptionFor(const QString& deviceDescription, const QString& displayName)
{
    if (!deviceDescription.isEmpty())
        return deviceDescription;
    QString text = displayName;
    const qsizetype open = text.indexOf(u" (");
    if (open > 0 && text.indexOf(u')') == text.size() - 1)
        text.truncate(open);
    return text;
}

} // namespace SerialPorts

void ListSerialPorts(QList<SSerInfo>& list)
{
    using namespace SerialPorts;
    list.clear();
    const auto& openTest = openTestOverride();
    for (const PresentPort& port : presentPorts()) {
        // Numbered on first sight, also when busy now, so numbers stay put.
        const int number = PortRegistry::numberOf(port.devicePath);
        // Root may open a port another holds exclusively, so a port of this
        // process is left out by the record, not by the open test.
        if (PortRegistry::isOpenHere(port.devicePath))
            continue;
        if (!(openTest ? openTest(port.devicePath) : canOpenNow(port.devicePath)))
            continue;
        SSerInfo info;
        info.devicePath = port.devicePath;
        info.displayName = displayNameFor(number, port.description, port.devicePath);
        info.viaUsb = port.viaUsb;
        info.description = descriptionFor(port.description, info.displayName);
        list.append(std::move(info));
    }
}
