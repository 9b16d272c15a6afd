#pragma once

#include <QByteArray>
#include <cstdint>

// One byte on the bus: 1 to 254 address one amplifier, 0 all of them.
using DeviceAddress = std::uint8_t;

// The group byte of a short frame: which parameter or action it carries.
enum class CommandGroup : std::uint8_t {
    PortProbe = 0x02,         // "are you there" at one address; answered 55 06 A 02 00 03 00
    Volume = 0x10,            // channel volume, signed dB
    Mute = 0x11,              // channel mute flag
    InputType = 0x13,         // channel input: 0 analog, 1 AES3, 2 auto
    Gain = 0x14,              // channel gain, whole dB
    Delay = 0x15,             // channel delay, 16-bit microseconds
    Power = 0x17,             // whole amplifier: 1 on, 2 standby (selector 01)
    StatusQuery = 0x17,       // same group with selector 02: asks for the status reply
    AddressChange = 0x18,     // gives the amplifier a new bus address
    FactoryReset = 0x19,      // restores the factory settings
    KnobLock = 0x1A,          // locks the front-panel knobs
    OutputSource = 0x1B,      // channel output source 1..4, 5 bridged
    Invert = 0x1C,            // channel polarity
    HighPassType = 0x20,      // crossover high-pass type + 1
    LowPassType = 0x21,       // crossover low-pass type + 1
    HighPassFrequency = 0x22, // crossover high-pass corner, 16-bit Hz
    LowPassFrequency = 0x23,  // crossover low-pass corner, 16-bit Hz
    Attack = 0x24,            // limiter attack, 16-bit ms
    Release = 0x25,           // limiter release, 16-bit ms
    Threshold = 0x26,         // limiter threshold, signed 8-bit as shown
    EqBypass = 0x30,          // bypasses all fifteen bands of a channel
    EqBand = 0x31,            // band frequency and gain together
    EqQ = 0x32,               // band Q x 100
    EqType = 0x33,            // band filter type + 1
    EqReset = 0x34,           // resets the EQ of a channel
    MonitorPoll = 0x50,       // asks for the live readings
    FullStateRequest = 0x60,  // asks for the whole parameter set
    PresetStore = 0x80,       // stores the current settings into a slot
    PresetRecall = 0x81,      // recalls a slot
    PresetClear = 0x82,       // clears every slot (slot byte 0)
    PresetQueryName = 0x83,   // asks for a slot's name
    PresetWriteName = 0x84,   // writes a slot's name
};

// The attack command says where the value came from.
enum class AttackSource : std::uint8_t {
    Slider = 0x01, // dragged on the slider
    Box = 0x03,    // typed into the box
};

// Encoders of every frame the program sends; each returns the whole frame
// (header, length, payload, checksum). Channels are 1..4 (CHA..CHD), bands
// 1..15. Values are encoded as given: callers limit them to their ranges
// first (ValueMapping). 16-bit values travel high byte first, negative
// values as their two's complement.
namespace Commands {

// A slot name holds at most this many bytes in the PC's code page.
inline constexpr qsizetype presetNameMaxBytes = 16;

QByteArray portProbe(DeviceAddress address);
QByteArray volume(DeviceAddress address, int channel, int db);
QByteArray mute(DeviceAddress address, int channel, bool muted);
QByteArray inputType(DeviceAddress address, int channel, int type);
QByteArray gain(DeviceAddress address, int channel, int db);
QByteArray delay(DeviceAddress address, int channel, int microseconds);
QByteArray power(DeviceAddress address, int state);
QByteArray factoryReset(DeviceAddress address);
QByteArray knobLock(DeviceAddress address, bool locked);
// `source`: 1..4 = source a..d, 5 = bridged, 0 = no selection.
QByteArray outputSource(DeviceAddress address, int channel, int source);
QByteArray invert(DeviceAddress address, int channel, bool inverted);
// `type` is the list position (0 "Bypass"); the wire carries type + 1.
QByteArray highPassType(DeviceAddress address, int channel, int type);
QByteArray lowPassType(DeviceAddress address, int channel, int type);
QByteArray highPassFrequency(DeviceAddress address, int channel, int frequencyHz);
QByteArray lowPassFrequency(DeviceAddress address, int channel, int frequencyHz);
QByteArray attack(DeviceAddress address, int channel, int milliseconds, AttackSource source);
QByteArray release(DeviceAddress address, int channel, int milliseconds);
QByteArray threshold(DeviceAddress address, int channel, int value);
QByteArray eqBypass(DeviceAddress address, int channel, bool bypassed);
// Gain in dB; it travels as ValueMapping::eqGainWire(gainDb).
QByteArray eqBand(DeviceAddress address, int channel, int band, int frequencyHz, double gainDb);
// `qWire` is Q x 100 (ValueMapping::qWireFromBox / qWireFromArrows).
QByteArray eqQ(DeviceAddress address, int channel, int band, int qWire);
// `type` is the list position (0 "ByPass"); the wire carries type + 1.
QByteArray eqType(DeviceAddress address, int channel, int band, int type);
QByteArray eqReset(DeviceAddress address, int channel);
QByteArray monitorPoll(DeviceAddress address);
QByteArray fullStateRequest(DeviceAddress address);

// Home page.
QByteArray statusQuery(DeviceAddress address);
QByteArray addressChange(DeviceAddress oldAddress, DeviceAddress newAddress);

// Preset slots; slot 1..16, 0 when nothing is chosen.
QByteArray presetStore(DeviceAddress address, int slot);
QByteArray presetRecall(DeviceAddress address, int slot);
QByteArray presetClearAll(DeviceAddress address);
QByteArray presetQueryName(DeviceAddress address, int slot);
// Only the first presetNameMaxBytes bytes are sent: the slot holds no more
// and a longer name would not fit the length byte's meaning. Callers that
// must reject long names check nameBytes.size() first.
QByteArray presetWriteName(DeviceAddress address, int slot, const QByteArray& nameBytes);

} // namespace Commands
