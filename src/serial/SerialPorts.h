#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>

// One serial port of the port list.
struct SSerInfo {
    QString devicePath;  // the path the port is opened by, such as /dev/ttyUSB0
    QString portName;    // left empty by ListSerialPorts
    QString displayName; // "COM<n>: <description> (<device path>)"
    bool viaUsb = false; // the device sits on USB (it has a USB vendor id)
    QString description; // the device's own text, else displayName less " (...)"
};

// Empties list and fills it with the serial ports present that can be opened
// now, in the order the system reports them. Ports held open by this
// process, or exclusively by any other, are left out. Never throws.
void ListSerialPorts(QList<SSerInfo>& list);

// The leading decimal digits of the text between the first capital "M" and
// the first ")" of a display name (from the start when there is no "M");
// 0 when there are none, when there is no ")" or it comes before the "M".
int PortNumberFromName(QStringView displayName);

namespace SerialPorts {

// A serial device the system reports as present.
struct PresentPort {
    QString devicePath;
    QString description; // may be empty
    bool viaUsb = false;
    friend bool operator==(const PresentPort&, const PresentPort&) = default;
};

// The ports QSerialPortInfo reports, then each existing path of the
// colon-separated VX4_EXTRA_PORTS; a device reached by two paths once.
QList<PresentPort> systemPorts();
// Whether devicePath opens for reading and writing at this moment.
bool canOpenNow(const QString& devicePath);

// Test seams: the devices present and the open test. An empty function
// restores the system's.
void setPresentPortsSource(std::function<QList<PresentPort>()> source);
void setOpenTest(std::function<bool(const QString&)> test);
// The devices present, through the seam (the device watcher uses it too).
QList<PresentPort> presentPorts();

QString displayNameFor(int portNumber, const QString& description, const QString& devicePath);
// The description rule: displayName less its trailing " (...)" part when
// the device has no description of its own.
QString descriptionFor(const QString& deviceDescription, const QString& displayName);

} // namespace SerialPorts
