#pragma once

#include "serial/LinkSettings.h"
#include "serial/SerialLink.h"

#include <QMap>
#include <QPointer>

class SimBus;

// The in-process serial link to simulated buses, for fast tests of the
// windows: everything runs on waitClock(). Written bytes reach the bus at
// once; the answers become readable at their due time; received() is raised
// through waitClock().callAfter, so never inside a wait, once the receive
// threshold is reached, and again only after a read or discard.
//
// Each bus sits behind a port number (1 for the first). A port is exclusive:
// opening it while another link holds it is refused, like a busy port. A bus
// whose adapter is unplugged (SimBus::setPluggedIn(false)) refuses open and
// write and delivers nothing; a link that had it open stays "open" until
// closed, as a real port whose device vanished.
class SimLink final : public SerialLink {
    Q_OBJECT

public:
    explicit SimLink(SimBus* bus = nullptr, QObject* parent = nullptr);
    ~SimLink() override;

    // Puts a bus behind a port number (replacing what was there).
    void addPort(int portNumber, SimBus* bus);
    // The bus of the open port, or nullptr.
    SimBus* bus() const;

    void setReceiveThreshold(int bytes) override;
    int receiveThreshold() const override { return threshold; }

    void open(int portNumber, const QString& settings) override;
    void close() override;
    bool isOpen() const override { return opened; }
    int portNumber() const override { return port; }

    void applySettings(const QString& settings) override;
    QString settings() const override { return line.text(); }
    int baudRate() const { return line.baudRate(); }

    void write(const QByteArray& bytes) override;
    void discardInput() override;
    QByteArray readAll() override;

private:
    SimBus* usableBus() const;
    void rearm();
    void scheduleNotification();
    void checkNotification();

    QMap<int, QPointer<SimBus>> ports;
    LinkSettings line;
    int port = 0;
    int threshold = 1;
    bool opened = false;
    bool armed = true;
    quint64 generation = 0;
    QMetaObject::Connection queuedConnection;
};
