#pragma once

#include <QByteArray>
#include <string>

// Bytes written as hex pairs with optional blanks: "55 06 03".
inline QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
inline std::string spaced(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }
inline int at(const QByteArray& bytes, qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); }
