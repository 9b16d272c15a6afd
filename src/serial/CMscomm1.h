#pragma once

#include "serial/LinkSettings.h"
#include "serial/SerialLink.h"

#include <QSerialPort>

// A SerialLink over a real serial port (QSerialPort). Port numbers are those
// of the port list (PortRegistry); a port is held exclusively, also against
// the other links of this process.
//
// A port that vanishes while open (adapter unplugged, the other end of a
// pseudo-terminal gone) is closed at once: isOpen() turns false, bytes that
// had arrived stay readable, lost() is raised outside any wait, and a write
// raises SerialError naming the loss. Reopening works once the device is back.
class CMscomm1 final : public SerialLink {
    Q_OBJECT

public:
    explicit CMscomm1(QObject* parent = nullptr);
    ~CMscomm1() override;

    // 0 switches the notification off, as on the classic control.
    void setReceiveThreshold(int bytes) override;
    int receiveThreshold() const override { return threshold; }

    // On a link already open on another port, that port is closed first;
    // on the same port, only the settings are applied.
    void open(int portNumber, const QString& settings) override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override { return number; }

    void applySettings(const QString& settings) override;
    QString settings() const override { return current.text(); }

    void write(const QByteArray& bytes) override;
    void discardInput() override;
    QByteArray readAll() override;

    // The device path of the port number, empty before the first open.
    QString devicePath() const { return path; }

Q_SIGNALS:
    // The open port failed underneath (see above); it is closed now.
    void lost(const QString& reason);

private:
    QString portLabel() const;
    QString openFailureText() const;
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void finishLoss();
    void checkReceived();
    void queueCheck();
    void fillFromSystem();

    QSerialPort port;
    int number = 0;
    QString path;
    LinkSettings current;
    int threshold = 1;
    QByteArray salvaged;   // bytes that had arrived when the port was lost
    QString failure;       // reason of a loss not yet handled
    QString lostReason;    // reason of the last loss, until the next open
    bool checkQueued = false;
    bool polling = false;
};
