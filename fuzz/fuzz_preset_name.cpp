// The answer to Query name among received bytes, and the name shown from it
// in either interface language. The first byte picks the language and, for
// the round trip, the address and slot; the rest is the receive buffer.
#include "FuzzSupport.h"

#include "app/CodePage.h"
#include "app/UiLanguage.h"
#include "presets/PresetSlots.h"
#include "protocol/Commands.h"
#include "protocol/ControlFrame.h"

namespace {

// The last 0x55 with the group of the answer three places on.
qsizetype lastAnswerStart(const QByteArray& bytes)
{
    for (qsizetype i = bytes.size() - 4; i >= 0; --i)
        if (static_cast<std::uint8_t>(bytes[i]) == 0x55 && static_cast<std::uint8_t>(bytes[i + 3]) == 0x83)
            return i;
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::Input input(data, size);
    const std::uint8_t selector = input.takeByte();
    setUiLanguage(selector & 1);
    const QByteArray received = input.rest();

    const auto name = PresetSlots::nameFromAnswer(received);
    const qsizetype start = lastAnswerStart(received);
    FUZZ_CHECK(name.has_value() <= (start >= 0));
    if (name) {
        FUZZ_CHECK(name->size() <= PresetSlots::maxNameBytes);
        FUZZ_CHECK(*name == received.mid(start + 6, static_cast<std::uint8_t>(received[start + 1]) - 5));
        const QString shown = CodePage::fromAnsi(*name);
        FUZZ_CHECK(shown.isEmpty() == name->isEmpty());
    }

    // The same bytes as a slot's name, answered by an amplifier (after some
    // noise), come back whole, whatever the address, the name and the
    // checksum, unless the name itself holds what looks like an answer start.
    if (received.size() <= PresetSlots::maxNameBytes) {
        QByteArray payload;
        for (int v : {selector >> 1, 0x83, 1 + (selector & 0x0F), 0x02})
            payload.append(static_cast<char>(v));
        payload.append(received);
        const QByteArray answer = QByteArray("\x00\xFF\x55", 3) + ControlFrame::build(payload);
        if (lastAnswerStart(answer) == 3) {
            const auto back = PresetSlots::nameFromAnswer(answer);
            FUZZ_CHECK(back && *back == received);
        }
    }
    return 0;
}
