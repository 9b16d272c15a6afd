#pragma once

#include <QByteArray>
#include <cstdint>

// A frame on the line: 0x55, a length byte (total length - 2), the payload
// (address, group, channel, selector and value bytes) and a checksum.
namespace ControlFrame {

inline constexpr std::uint8_t header = 0x55;

// Low 8 bits of the sum of bytes[from .. to), the checksum rule of every frame.
std::uint8_t checksum(const QByteArray& bytes, qsizetype from, qsizetype to);

// The whole frame for a payload (payload.size() + 3 bytes).
QByteArray build(const QByteArray& payload);

// Convenience: the frame for a list of payload bytes; negative values
// travel as their low 8 bits (-20 -> 0xEC).
QByteArray build(std::initializer_list<int> payload);

// True when the frame starts with 0x55, its length byte matches and its
// checksum is right.
bool isWellFormed(const QByteArray& frame);

// The bytes sent when a stored full-state reply is sent back to the
// amplifiers: every byte but the old checksum, with the address at offset 3
// replaced (by `ownAddress`, or 0 when `toAllAmplifiers`), and a fresh
// checksum, the low 8 bits of (sum of the copied bytes - 0x55). Stored data
// of fewer than five bytes keeps its address byte; an empty file gives the
// single byte 0xAB (-0x55).
QByteArray replayStoredFrame(const QByteArray& stored, std::uint8_t ownAddress, bool toAllAmplifiers);

} // namespace ControlFrame
