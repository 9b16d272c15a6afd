#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The settings text of a port: the baud rate in decimal digits followed by
// ",n,8,1" (no parity, 8 data bits, 1 stop bit), the one framing the
// amplifiers speak.
class LinkSettings {
public:
    static constexpr qint32 defaultBaudRate = 9600; // line speed before any settings are applied

    LinkSettings() = default;
    // baudRate must be positive; parse() never yields anything else.
    explicit LinkSettings(qint32 baudRate) : rate(baudRate) {}

    // Total on any input: refuses (nullopt) everything but one or more
    // decimal digits with a value from 1 to 2^31 - 1, then ",n,8,1".
    static std::optional<LinkSettings> parse(QStringView text);
    // The settings text of a baud rate, such as "19200,n,8,1".
    static QString textFor(qint32 baudRate);

    qint32 baudRate() const { return rate; }
    QString text() const { return textFor(rate); }

    friend bool operator==(const LinkSettings&, const LinkSettings&) = default;

private:
    qint32 rate = defaultBaudRate;
};
