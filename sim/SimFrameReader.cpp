#include "sim/SimFrameReader.h"

#include "protocol/ControlFrame.h"

namespace {

constexpr int shortLengthMin = 4;  // the smallest frame in use: 55 04 A 60 02 CK
constexpr int longLengthMin = 256; // below that the length would fit one byte

int byteAt(const QByteArray& b, qsizetype i) { return static_cast<std::uint8_t>(b.at(i)); }

} // namespace

qsizetype SimFrameReader::completeShortFrameAfterStart() const
{
    for (qsizetype p = pending.indexOf(static_cast<char>(ControlFrame::header), 1); p > 0;
         p = pending.indexOf(static_cast<char>(ControlFrame::header), p + 1)) {
        if (p + 1 >= pending.size() || byteAt(pending, p + 1) < shortLengthMin)
            continue;
        const qsizetype total = byteAt(pending, p + 1) + 2;
        if (p + total <= pending.size()
            && ControlFrame::checksum(pending, p + 1, p + total - 1) == byteAt(pending, p + total - 1))
            return p;
    }
    return -1;
}

QList<QByteArray> SimFrameReader::append(const QByteArray& bytes, qint64 nowMs)
{
    if (!pending.isEmpty() && nowMs - lastByteMs > frameGapMs)
        pending.clear();
    if (!bytes.isEmpty())
        lastByteMs = nowMs;
    pending.append(bytes);

    QList<QByteArray> frames;
    while (true) {
        const qsizetype start = pending.indexOf(static_cast<char>(ControlFrame::header));
        if (start < 0) {
            pending.clear();
            break;
        }
        pending.remove(0, start);
        if (pending.size() < 2)
            break;
        auto checksumFits = [this](qsizetype total) {
            return ControlFrame::checksum(pending, 1, total - 1) == byteAt(pending, total - 1);
        };
        qsizetype total = 0;
        if (byteAt(pending, 1) >= shortLengthMin) {
            total = byteAt(pending, 1) + 2;
        } else {
            if (pending.size() < 3)
                break;
            const int length = (byteAt(pending, 1) << 8) | byteAt(pending, 2);
            if (length < longLengthMin || length + 3 > maxFrameSize) {
                pending.remove(0, 1);
                continue;
            }
            // Long frames are also written with the length counted from the
            // byte after the length field (total - 3); both are taken.
            total = length + 2;
            if (pending.size() >= total && !checksumFits(total)) {
                if (pending.size() < total + 1)
                    break;
                ++total;
            }
        }
        if (pending.size() < total) {
            // A bogus length byte must not hold back a good short frame
            // that has already arrived behind it.
            const qsizetype next = byteAt(pending, 1) >= shortLengthMin ? completeShortFrameAfterStart() : -1;
            if (next < 0)
                break;
            pending.remove(0, next);
            continue;
        }
        if (checksumFits(total)) {
            frames.append(pending.left(total));
            pending.remove(0, total);
        } else {
            pending.remove(0, 1);
        }
    }
    return frames;
}
