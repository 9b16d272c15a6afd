#pragma once

#include <QByteArray>

// Bytes written as hex pairs with optional blanks: "55 06 03".
inline QByteArray hexBytes(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
