#pragma once

#include <QByteArray>

#include <string>

// Bytes written as hex pairs with optional blanks: "55 06 03".
inline QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// Bytes as blank-separated upper-case hex pairs, so that a failed comparison
// shows the wire as the tables write it.
inline std::string spaced(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }
