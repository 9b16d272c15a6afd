#include "protocol/ControlFrame.h"

namespace ControlFrame {

std::uint8_t checksum(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    unsigned sum = 0;
    for (qsizetype i = from; i < to && i < bytes.size(); ++i)
        sum += static_cast<std::uint8_t>(bytes[i]);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

QByteArray build(const QByteArray& payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + 3);
    frame.append(static_cast<char>(header));
    frame.append(static_cast<char>((payload.size() + 1) & 0xFF));
    frame.append(payload);
    frame.append(static_cast<char>(checksum(frame, 1, frame.size())));
    return frame;
}

QByteArray build(std::initializer_list<int> payload)
{
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(payload.size()));
    for (int value : payload)
        bytes.append(static_cast<char>(value & 0xFF));
    return build(bytes);
}

bool isWellFormed(const QByteArray& frame)
{
    if (frame.size() < 3 || static_cast<std::uint8_t>(frame[0]) != header)
        return false;
    if (static_cast<std::uint8_t>(frame[1]) != ((frame.size() - 2) & 0xFF))
        return false;
    return checksum(frame, 1, frame.size() - 1) == static_cast<std::uint8_t>(frame.back());
}

QByteArray replayStoredFrame(const QByteArray& stored, std::uint8_t ownAddress, bool toAllAmplifiers)
{
    // The checksum of the stored frame is dropped; everything before it is
    // copied, and only files of five bytes or more get their address replaced.
    const qsizetype copied = stored.isEmpty() ? 0 : stored.size() - 1;
    QByteArray frame = stored.left(copied);
    if (stored.size() >= 5)
        frame[3] = static_cast<char>(toAllAmplifiers ? 0 : ownAddress);
    const unsigned sum = checksum(frame, 0, frame.size());
    frame.append(static_cast<char>((sum - header) & 0xFF));
    return frame;
}

} // namespace ControlFrame
