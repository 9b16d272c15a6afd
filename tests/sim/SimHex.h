#pragma once

#include "Hex.h"

#include <QByteArray>

// The value of byte i, unsigned.
inline int at(const QByteArray& bytes, qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); }
