#pragma once

#include "protocol/AmpParameters.h"
#include "protocol/AmpStatus.h"

#include <QByteArray>

#include <array>
#include <optional>

// The long frame an amplifier answers to the full-state request, decoded
// into its raw wire values. A section is present only when its marker byte
// and all of its bytes arrived; EQ bands are present one record at a time.
// Plain data, so that the editor, vx4ctl and the fuzzer can all use it.
struct FullStateReply {
    using PerChannel = std::optional<std::array<int, channelCountMax>>;

    struct BandRecord {
        int frequencyHz = 0;
        int gainHundredths = 0; // signed
        int qHundredths = 0;
        int typeWire = 0;       // type + 1
        friend bool operator==(const BandRecord&, const BandRecord&) = default;
    };

    bool startsWithHeader = false;
    std::optional<int> address;      // offset 3
    std::optional<int> channelCount; // offset 5, as sent

    PerChannel volume;    // signed dB
    PerChannel mute;
    PerChannel inputType;
    PerChannel gain;      // signed dB
    PerChannel delay;     // microseconds
    std::optional<int> powerState;
    std::optional<int> knobLock;
    PerChannel outputSource;
    PerChannel invert;
    PerChannel hpType;    // type + 1
    PerChannel lpType;    // type + 1
    PerChannel hpFrequency;
    PerChannel lpFrequency;
    PerChannel attack;
    PerChannel release;
    PerChannel threshold; // signed
    PerChannel eqBypass;
    bool eqMarker = false;
    std::array<std::array<std::optional<BandRecord>, bandCount>, channelCountMax> bands;
    std::optional<int> gainTop; // signed dB

    // True when at least one section arrived.
    bool hasAnySection() const;
};

// Offsets of the long frame.
namespace FullStateLayout {
inline constexpr qsizetype address = 3;
inline constexpr qsizetype channelCount = 5;
inline constexpr qsizetype volume = 7;
inline constexpr qsizetype mute = 12;
inline constexpr qsizetype inputType = 17;
inline constexpr qsizetype gain = 22;
inline constexpr qsizetype delay = 27;
inline constexpr qsizetype power = 36;
inline constexpr qsizetype knobLock = 40;
inline constexpr qsizetype outputSource = 42;
inline constexpr qsizetype invert = 47;
inline constexpr qsizetype hpType = 52;
inline constexpr qsizetype lpType = 57;
inline constexpr qsizetype hpFrequency = 62;
inline constexpr qsizetype lpFrequency = 71;
inline constexpr qsizetype attack = 80;
inline constexpr qsizetype release = 89;
inline constexpr qsizetype threshold = 98;
inline constexpr qsizetype eqBypass = 103;
inline constexpr qsizetype eq = 108;
inline constexpr qsizetype eqChannelBlock = 121; // one byte, then 15 records of 8
inline constexpr qsizetype eqBandRecord = 8;
inline constexpr qsizetype gainTop = 593;
inline constexpr qsizetype size = 597;           // gainTop, one spare byte, the checksum
} // namespace FullStateLayout

// Never reads past the bytes given.
FullStateReply decodeFullStateReply(const QByteArray& reply);

struct ParameterPath;
// Whether the reply carried the section (or the band record) of that value.
bool carries(const FullStateReply& reply, const ParameterPath& path);

// Applies what arrived, in the editor's order (gainTop before gain). With
// two channels the output sources of CHC and CHD are not applied; with a
// channel count other than 2 or 4 no output source is. Values are limited
// to the model's ranges as the editor's controls would limit them; a filter
// or input type outside its list leaves the field as it was. Ends with
// loadSelectedBand(). A reply not starting with 0x55 applies nothing.
void applyFullStateReply(const FullStateReply& reply, AmpParameters& parameters);

// The status the power state stands for after applying; None when the
// reply carried no usable power state (the status box keeps its text).
AmpStatus statusAfterRead(const FullStateReply& reply);

// The long frame for a parameter set, as an amplifier would answer; the
// bytes the editor does not interpret carry: a 16-bit length (total - 3) at
// 1 and 2, the group 0x60 at 4, the channel (block) and band (record) numbers
// in the first byte of each EQ block and record, zero elsewhere.
QByteArray encodeFullStateReply(const AmpParameters& parameters, DeviceAddress address);
