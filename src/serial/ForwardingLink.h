#pragma once

#include "serial/SerialLink.h"

// A link that stands in front of another and hands every operation on to
// it, raising the other's receive notifications as its own. Subclasses look
// at what passes: the frames written, the bytes read.
class ForwardingLink : public SerialLink {
    Q_OBJECT

public:
    explicit ForwardingLink(SerialLink& inner, QObject* parent = nullptr);

    SerialLink& innerLink() const { return inner; }

    void setReceiveThreshold(int bytes) override { inner.setReceiveThreshold(bytes); }
    int receiveThreshold() const override { return inner.receiveThreshold(); }
    void open(int portNumber, const QString& settings) override { inner.open(portNumber, settings); }
    void close() override { inner.close(); }
    bool isOpen() const override { return inner.isOpen(); }
    int portNumber() const override { return inner.portNumber(); }
    void applySettings(const QString& settings) override { inner.applySettings(settings); }
    QString settings() const override { return inner.settings(); }
    void write(const QByteArray& bytes) override { inner.write(bytes); }
    void discardInput() override { inner.discardInput(); }
    QByteArray readAll() override { return inner.readAll(); }

private:
    SerialLink& inner;
};
