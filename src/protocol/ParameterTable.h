#pragma once

#include "protocol/AmpParameters.h"
#include "protocol/FullStateReply.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

// Every parameter of an amplifier, described once: its stable name, where it
// lives (the whole amplifier, a channel, an EQ band), its range, how it is
// shown, how it travels in a short frame and where it sits in the full-state
// reply. The full-state decode and encode, vx4ctl's set and read, the
// editor's ranges and the differences between two states are driven from
// here.

enum class ParameterKey : int {
    VolumeDb,
    Mute,
    Invert,
    GainDb,
    DelayUs,
    InputType,
    OutputSource,
    PowerState,
    KnobLock,
    HpType,
    LpType,
    HpFrequencyHz,
    LpFrequencyHz,
    AttackMs,
    ReleaseMs,
    LimiterThreshold,
    EqBypass,
    BandFrequencyHz,
    BandGainDb,
    BandQ,
    BandType,
};
inline constexpr int parameterKeyCount = 21;

enum class ParameterScope { Amplifier, Channel, Band };

enum class ParameterKind {
    Integer,
    Decimal,
    Flag,   // 0 or 1
    Choice, // a list position
};

// How a typed value is read, as the editor's boxes read it.
enum class TextForm {
    Whole,     // a whole number, limited to the range
    Decimal,   // a decimal number (the band gain is taken whole, as its box does)
    Kilohertz, // hertz, or kilohertz with a trailing K ("2k" is 2000)
    Flag,      // 0 or 1
    Word,      // one of the list texts, in any case
    Position,  // a list position, as a number
};

// What a range is measured from.
enum class RangeAnchor {
    Fixed,
    GainTop,   // minimum and maximum are added to the amplifier's gainTop
    Threshold, // the limiter's threshold: from gainTop once it is read, fixed before
};

struct ParameterLimits {
    double minimum = 0;
    double maximum = 0;
    double clamp(double value) const;
    bool contains(double value) const { return value >= minimum && value <= maximum; }
};

struct Parameter {
    ParameterKey key;
    const char* name; // the JSON key of vx4ctl read: "volumeDb"
    const char* word; // vx4ctl set's word: "volume"; the band's frequency and gain share "eq"
    TextForm form;
    const char* valueName; // the value in vx4ctl's help: "DB"; empty where the form says it
    ParameterScope scope;
    ParameterKind kind;
    RangeAnchor anchor;
    double minimum;
    double maximum;
    int decimals; // how a value is shown

    // The short frame that sets it: group, selector, value bytes (1 or 2,
    // high byte first), whether negative values travel, and what is added
    // to a list position on the wire (filter types travel as position + 1).
    CommandGroup group;
    int selector;
    int wireBytes;
    bool wireSigned;
    int wireOffset;

    // In the full-state reply: the offset of the section's marker (the first
    // of its values follows it), or for band fields the offset inside a
    // band record.
    qsizetype stateOffset;
    // A value read from the reply is limited to the range (the delay is
    // taken as it comes).
    bool limitOnRead;

    // The list texts, in list order, where the parameter is chosen from a
    // list of the editor; nullptr elsewhere.
    QStringList (*texts)();
};

// Names one value: the key, and the channel (0..3) and band (0..14) where
// the scope has them.
struct ParameterPath {
    ParameterKey key = ParameterKey::VolumeDb;
    int channel = 0;
    int band = 0;
    friend bool operator==(const ParameterPath&, const ParameterPath&) = default;
};

namespace ParameterTable {

const std::array<Parameter, parameterKeyCount>& all();
const Parameter& of(ParameterKey key);
// By its stable name; nullptr for none.
const Parameter* named(QStringView name);

ParameterLimits limits(const Parameter& parameter, const AmpParameters& state);
ParameterLimits limits(ParameterKey key, const AmpParameters& state);

// The value a path names; nullopt where the state does not know it yet (the
// delay before the first read).
std::optional<double> value(const AmpParameters& state, const ParameterPath& path);
// Sets a value, limited to the range and to the step the wire carries; a
// list position outside its list changes nothing.
void setValue(AmpParameters& state, const ParameterPath& path, double value);

// A typed value read as the editor's box reads it; nullopt for a word that
// is not in the list. The text is expected in the parameter's form.
std::optional<double> readText(const Parameter& parameter, const QString& text, const AmpParameters& state);
// The value as vx4ctl's help names it: "DB", "0|1", "analog|aes3|auto", "0..9".
QString valueHelp(const Parameter& parameter);

// Every path of a state of `channelCount` channels, amplifier first, then
// channel by channel, bands last.
QList<ParameterPath> paths(int channelCount);

// "volumeDb CHB", "bandGainDb CHA band 3", "knobLock".
QString pathText(const ParameterPath& path);

// A value as JSON (vx4ctl read, show files): true/false for a flag, a number
// with decimals for a decimal, else a whole number; null for none.
QJsonValue jsonValue(const Parameter& parameter, const std::optional<double>& value);

// A value as it travels (list offset added; band gains and Q in hundredths),
// and back.
int wireValue(const Parameter& parameter, double value);
double valueFromWire(const Parameter& parameter, int wire);
// Takes a value as the full-state reply carries it: limited to the range
// where the parameter is limited on reading, a list position outside its
// list leaving the value as it was.
void setFromWire(AmpParameters& state, const ParameterPath& path, int wire);

// The frame that gives the amplifier at `address` the value `state` holds at
// `path`. A band's frequency and gain travel together in one frame.
QByteArray frame(const AmpParameters& state, const ParameterPath& path, DeviceAddress address);
// The frame for one wire value (the value as it travels, list offset added)
// of a whole-amplifier or channel parameter; channel 1..4 on the wire, 0 for
// the amplifier.
QByteArray shortFrame(ParameterKey key, DeviceAddress address, int wireChannel, int wireValue);

// The short frames that take an amplifier from `from` to `to`: nothing for
// equal values, values `to` does not know are left alone, and a sensible
// order (whole-amplifier settings, input types, bridging before the other
// sources, levels, filter types before their frequencies, EQ types before
// frequencies, gains and Q).
QList<QByteArray> framesToReach(const AmpParameters& from, const AmpParameters& to, DeviceAddress address);

// The paths whose values differ, over the channels both have.
QList<ParameterPath> differences(const AmpParameters& a, const AmpParameters& b);

} // namespace ParameterTable
