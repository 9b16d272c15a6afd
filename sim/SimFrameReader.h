#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream an amplifier hears into frames, as its firmware does:
// a frame starts at 0x55; a length byte of 4 or more gives a short frame of
// that length + 2 bytes; a length byte below 4 starts a long frame whose
// 16-bit length (high byte first, total - 2, or total - 3 as some writers
// count it) is 256 to 1021. A candidate whose
// checksum is wrong loses only its 0x55, and the search goes on from the
// next byte, so a frame hidden behind garbage is still found. While a short
// candidate is incomplete, a complete good short frame behind it wins (a
// garbled length byte would otherwise swallow it); a long candidate is not
// cut that way, so a replayed full state arriving in pieces stays whole.
class SimFrameReader {
public:
    static constexpr int maxFrameSize = 1024;

    // A partial frame older than this when the next bytes arrive is dropped:
    // the sender has given up on it (an amplifier's inter-frame timeout).
    static constexpr int frameGapMs = 50;

    // Appends bytes heard at nowMs and returns every frame they complete.
    QList<QByteArray> append(const QByteArray& bytes, qint64 nowMs);
    // Forgets a partial frame (the line had framing errors).
    void clear() { pending.clear(); }
    qsizetype pendingSize() const { return pending.size(); }

private:
    // Where a complete, well-formed short frame starts after the first byte.
    qsizetype completeShortFrameAfterStart() const;

    QByteArray pending;
    qint64 lastByteMs = 0;
};
