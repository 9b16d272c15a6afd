#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The operations a window performs on its serial port. Each window that talks
// to amplifiers owns one link, with at most one open port; the port is
// exclusive, so windows hand the line over by closing their own link first.
//
// Realised by CMscomm1 (a real port) and by the in-process link to the
// simulated amplifier bus. Refusals raise SerialError.
class SerialLink : public QObject {
    Q_OBJECT

public:
    static constexpr int readLimit = 1024;      // bytes readAll() returns at most
    static constexpr int dataReceivedEvent = 2; // event code of "bytes arrived"

    using QObject::QObject;
    ~SerialLink() override = default;

    // Bytes that must be waiting before received() is raised (1 or 7 in use).
    virtual void setReceiveThreshold(int bytes) = 0;
    virtual int receiveThreshold() const = 0;

    // Port number, binary mode, read limit, threshold, RTS on, open (only if
    // not open yet), then the settings text "<baud>,n,8,1".
    virtual void open(int portNumber, const QString& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int portNumber() const = 0;

    // Takes effect at once, also while open.
    virtual void applySettings(const QString& settings) = 0;
    virtual QString settings() const = 0;

    // Queued at once; the call does not wait.
    virtual void write(const QByteArray& bytes) = 0;
    // Drops every received, unread byte; harmless on a closed port.
    virtual void discardInput() = 0;
    // Everything waiting, at most readLimit bytes, removed from the buffer.
    virtual QByteArray readAll() = 0;

Q_SIGNALS:
    // Raised once at least receiveThreshold() bytes are waiting; eventCode is
    // dataReceivedEvent for received data, handlers ignore every other code.
    void received(int eventCode);
};
