#include "serial/CMscomm1.h"

#include "clock/WaitClock.h"
#include "serial/PortAccess.h"
#include "serial/PortRegistry.h"
#include "serial/SerialError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

// The C library and Qt word their reasons in English only. Where the
// catalogue of the interface language has words for a reason (the Chinese
// one has), the reason is said in them like the rest of the message;
// otherwise in the system's own words.
std::optional<QString> catalogueWords(const char* reason)
{
    const QString words = QCoreApplication::translate("CMscomm1", reason);
    if (words == QLatin1String(reason))
        return std::nullopt;
    return words;
}

QString systemReason(int error)
{
    const auto said = [error](const char* reason) {
        return catalogueWords(reason).value_or(QString::fromLocal8Bit(std::strerror(error)));
    };
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device does not exist"));
    case EBUSY:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device is busy"));
    case EACCES:
    case EPERM:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "no permission to use it"));
    case EIO:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "input/output error"));
    default:
        // Any other cause by its code.
        if (const auto words = catalogueWords(QT_TRANSLATE_NOOP("CMscomm1", "system error %1")))
            return words->arg(error);
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString qtReason(const QSerialPort& port)
{
    const auto said = [&port](const char* reason) { return catalogueWords(reason).value_or(port.errorString()); };
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device does not exist"));
    case QSerialPort::PermissionError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "no permission to use it"));
    case QSerialPort::OpenError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device is already open"));
    case QSerialPort::WriteError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "write error"));
    case QSerialPort::ReadError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "read error"));
    case QSerialPort::ResourceError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device is no longer available"));
    case QSerialPort::UnsupportedOperationError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the device does not support the setting"));
    case QSerialPort::TimeoutError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "timed out"));
    case QSerialPort::NotOpenError:
        return said(QT_TRANSLATE_NOOP("CMscomm1", "the port is not open"));
    case QSerialPort::NoError:
    case QSerialPort::UnknownError:
        break;
    }
    return said(QT_TRANSLATE_NOOP("CMscomm1", "unknown error"));
}

} // namespace

CMscomm1::CMscomm1(QObject* parent) : SerialLink(parent)
{
    connect(&port, &QSerialPort::readyRead, this, &CMscomm1::onReadyRead);
    connect(&port, &QSerialPort::errorOccurred, this, &CMscomm1::onErrorOccurred);
}

CMscomm1::~CMscomm1()
{
    close();
}

void CMscomm1::setReceiveThreshold(int bytes)
{
    threshold = qMax(0, bytes);
}

bool CMscomm1::isOpen() const
{
    return port.isOpen() && failure.isEmpty();
}

QString CMscomm1::portLabel() const
{
    return QStringLiteral("COM%1 (%2)").arg(number).arg(path);
}

void CMscomm1::open(int portNumber, const QString& settings)
{
    // Checked first, so refused settings leave the link as it was.
    const auto parsed = LinkSettings::parse(settings);
    if (!parsed)
        throw SerialError(tr("The settings \"%1\" are not valid: give the baud rate followed by \",n,8,1\".").arg(settings));
    if (!failure.isEmpty())
        finishLoss();
    if (isOpen() && portNumber == number) {
        applySettings(settings);
        return;
    }
    if (portNumber < 1)
        throw SerialError(tr("Port number %1 is not valid.").arg(portNumber));
    const QString target = PortRegistry::pathOf(portNumber);
    if (target.isEmpty())
        throw SerialError(tr("There is no port COM%1.").arg(portNumber));
    close();
    number = portNumber;
    path = target;
    if (PortRegistry::isOpenHere(path))
        throw SerialError(tr("The port %1 is already open in this program.").arg(portLabel()));
    if (!QFileInfo::exists(path))
        throw SerialError(tr("The port %1 is not present: %2.").arg(portLabel(), systemReason(ENOENT)));

    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite))
        throw SerialError(openFailureText());
    lostReason.clear();
    PortRegistry::markOpen(path);
    port.setReadBufferSize(0); // unbounded: no byte is dropped however long a wait
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    // Pseudo-terminals have no modem lines and answer "Inappropriate ioctl
    // for device"; the port works without RTS, so that is no refusal.
    port.setRequestToSend(true);
    port.clearError();
    applySettings(settings);
}

QString CMscomm1::openFailureText() const
{
    const int error = PortAccess::openError(path);
    switch (error) {
    case 0:
        // The device opens, so the refusal came from the lock file of
        // another program using the port.
        if (port.error() == QSerialPort::PermissionError)
            return tr("The port %1 is in use by another program.").arg(portLabel());
        return tr("The port %1 cannot be opened: %2.").arg(portLabel(), qtReason(port));
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return tr("The port %1 is not present: %2.").arg(portLabel(), systemReason(error));
    case EBUSY:
        return tr("The port %1 is in use by another program: %2.").arg(portLabel(), systemReason(error));
    case EACCES:
    case EPERM:
        return tr("The port %1 cannot be opened: %2. Members of the group \"%3\" may use it; "
                  "add the user to that group and log in again.")
            .arg(portLabel(), systemReason(error), PortAccess::owningGroup(path));
    default:
        return tr("The port %1 cannot be opened: %2.").arg(portLabel(), systemReason(error));
    }
}

void CMscomm1::close()
{
    failure.clear();
    if (!port.isOpen())
        return;
    port.close();
    PortRegistry::markClosed(path);
}

void CMscomm1::applySettings(const QString& settings)
{
    const auto parsed = LinkSettings::parse(settings);
    if (!parsed)
        throw SerialError(tr("The settings \"%1\" are not valid: give the baud rate followed by \",n,8,1\".").arg(settings));
    if (isOpen() && !port.setBaudRate(parsed->baudRate())) {
        const QString reason = qtReason(port);
        port.clearError();
        throw SerialError(tr("The port %1 does not accept %2 baud: %3.").arg(portLabel()).arg(parsed->baudRate()).arg(reason));
    }
    current = *parsed;
}

void CMscomm1::write(const QByteArray& bytes)
{
    if (!failure.isEmpty())
        finishLoss();
    if (!isOpen()) {
        if (!lostReason.isEmpty())
            throw SerialError(tr("The port %1 was lost: %2.").arg(portLabel(), lostReason));
        throw SerialError(number > 0 ? tr("The port %1 is not open.").arg(portLabel()) : tr("The port is not open."));
    }
    const qint64 queued = port.write(bytes);
    // Hand the bytes to the system now rather than at the next event-loop
    // pass, so they are on their way when the caller starts its wait.
    port.flush();
    if (!failure.isEmpty()) {
        finishLoss();
        throw SerialError(tr("The port %1 was lost: %2.").arg(portLabel(), lostReason));
    }
    if (queued != bytes.size())
        throw SerialError(tr("Writing to the port %1 failed: %2.").arg(portLabel(), qtReason(port)));
}

void CMscomm1::discardInput()
{
    salvaged.clear();
    if (isOpen())
        port.clear(QSerialPort::Input);
}

void CMscomm1::fillFromSystem()
{
    // Takes in what the system holds but no notifier has fetched yet.
    // readyRead raised in here must not reach a handler mid-read.
    polling = true;
    while (port.bytesAvailable() < readLimit && port.waitForReadyRead(0)) {
    }
    polling = false;
    if (port.error() == QSerialPort::TimeoutError)
        port.clearError();
}

QByteArray CMscomm1::readAll()
{
    if (!failure.isEmpty())
        finishLoss();
    if (!isOpen()) {
        QByteArray bytes = salvaged.left(readLimit);
        salvaged.remove(0, bytes.size());
        return bytes;
    }
    fillFromSystem();
    if (!failure.isEmpty())
        return readAll();
    QByteArray bytes = port.read(readLimit);
    // What is left over beyond the limit must still be announced.
    if (threshold > 0 && port.bytesAvailable() >= threshold)
        queueCheck();
    return bytes;
}

void CMscomm1::onReadyRead()
{
    if (polling || waitClock().isWaiting()) {
        queueCheck();
        return;
    }
    checkReceived();
}

void CMscomm1::queueCheck()
{
    if (checkQueued)
        return;
    checkQueued = true;
    // callAfter runs outside any wait: a notification that falls into a wait
    // comes after it, once, for everything that arrived meanwhile.
    waitClock().callAfter(0, this, [this] {
        checkQueued = false;
        checkReceived();
    });
}

void CMscomm1::checkReceived()
{
    if (!isOpen() || threshold <= 0)
        return;
    if (port.bytesAvailable() >= threshold)
        Q_EMIT received(dataReceivedEvent);
}

void CMscomm1::onErrorOccurred(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        break;
    default:
        return;
    }
    if (!port.isOpen() || !failure.isEmpty())
        return;
    failure = qtReason(port);
    // Closing inside QSerialPort's own notification would pull its buffer
    // from under it; close right after instead. Until then isOpen() is
    // false, and the failing descriptor keeps firing only until then.
    QMetaObject::invokeMethod(this, &CMscomm1::finishLoss, Qt::QueuedConnection);
}

void CMscomm1::finishLoss()
{
    if (failure.isEmpty())
        return;
    lostReason = failure;
    salvaged += port.readAll();
    close();
    const QString reason = lostReason;
    waitClock().callAfter(0, this, [this, reason] { Q_EMIT lost(reason); });
}
