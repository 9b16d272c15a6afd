#pragma once

#include <QString>
#include <stdexcept>

// Raised by a serial link when the port refuses an operation (missing or busy
// port, port number 0, malformed settings, write on a closed port). Nobody
// below the top-level handler catches it; that handler shows text().
class SerialError : public std::runtime_error {
public:
    explicit SerialError(const QString& text)
        : std::runtime_error(text.toStdString()), message(text) {}
    const QString& text() const noexcept { return message; }

private:
    QString message;
};
