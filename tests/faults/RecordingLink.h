#pragma once

#include "serial/WaitClock.h"
#include "sim/SimLink.h"

#include <QList>

// A simulated link that keeps every write with its time, so a test can check
// what went on the wire and when.
class RecordingLink final : public SerialLink {
public:
    struct Write {
        qint64 atMs = 0;
        QByteArray bytes;
    };

    explicit RecordingLink(QObject* parent = nullptr) : SerialLink(parent), inner(nullptr, this)
    {
        connect(&inner, &SerialLink::received, this, &SerialLink::received);
    }

    SimLink& sim() { return inner; }
    QList<Write>& writes() { return log; }

    void setReceiveThreshold(int bytes) override { inner.setReceiveThreshold(bytes); }
    int receiveThreshold() const override { return inner.receiveThreshold(); }
    void open(int portNumber, const QString& settings) override { inner.open(portNumber, settings); }
    void close() override { inner.close(); }
    bool isOpen() const override { return inner.isOpen(); }
    int portNumber() const override { return inner.portNumber(); }
    void applySettings(const QString& settings) override { inner.applySettings(settings); }
    QString settings() const override { return inner.settings(); }
    void write(const QByteArray& bytes) override
    {
        log.append({waitClock().nowMs(), bytes});
        inner.write(bytes);
    }
    void writeText(const QString& text) override { inner.writeText(text); }
    void discardInput() override { inner.discardInput(); }
    QByteArray readAll() override { return inner.readAll(); }

private:
    SimLink inner;
    QList<Write> log;
};
