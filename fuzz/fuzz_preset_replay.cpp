// A preset file sent back to the amplifiers: any stored bytes, to the own
// address or to all. The first two bytes pick the own address and the
// target; the rest is the file.
#include "FuzzSupport.h"

#include "protocol/ControlFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const std::uint8_t ownAddress = input.takeByte();
    const bool toAll = input.takeByte() & 1;
    const QByteArray stored = input.rest();

    const QByteArray sent = ControlFrame::replayStoredFrame(stored, ownAddress, toAll);

    // Every stored byte but the old checksum, then a fresh one.
    FUZZ_CHECK(sent.size() == (stored.isEmpty() ? 1 : stored.size()));
    for (qsizetype i = 0; i + 1 < sent.size(); ++i) {
        if (i == 3 && stored.size() >= 5)
            FUZZ_CHECK(static_cast<std::uint8_t>(sent[i]) == (toAll ? 0 : ownAddress));
        else
            FUZZ_CHECK(sent[i] == stored[i]);
    }
    unsigned sum = 0;
    for (qsizetype i = 0; i + 1 < sent.size(); ++i)
        sum += static_cast<std::uint8_t>(sent[i]);
    FUZZ_CHECK(static_cast<std::uint8_t>(sent.back()) == static_cast<std::uint8_t>(sum - ControlFrame::header));
    // A frame that starts with 0x55 ends with the checksum of bytes 1.. on.
    if (sent.size() >= 2 && static_cast<std::uint8_t>(sent[0]) == ControlFrame::header)
        FUZZ_CHECK(static_cast<std::uint8_t>(sent.back()) == ControlFrame::checksum(sent, 1, sent.size() - 1));
    return 0;
}
