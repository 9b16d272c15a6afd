#include "Hex.h"

#include "protocol/FullStateReply.h"
#include "protocol/ParameterTable.h"
#include "sim/SimAmplifier.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

constexpr DeviceAddress address = 5;

// A state an amplifier of four channels can hold, every value at random
// within its range and at the step the model holds it.
AmpParameters randomState(QRandomGenerator& random, int gainTop)
{
    AmpParameters state;
    state.setGainTop(gainTop);
    for (const ParameterPath& path : ParameterTable::paths(channelCountMax)) {
        const Parameter& p = ParameterTable::of(path.key);
        const ParameterLimits range = ParameterTable::limits(p, state);
        const auto between = [&](double low, double high) {
            return static_cast<double>(random.bounded(static_cast<int>(low), static_cast<int>(high) + 1));
        };
        double v = between(range.minimum, range.maximum);
        if (path.key == ParameterKey::BandGainDb)
            v = between(range.minimum * 100, range.maximum * 100) / 100.0;
        else if (path.key == ParameterKey::BandQ)
            v = between(range.minimum * 10, range.maximum * 10) / 10.0;
        else if (path.key == ParameterKey::OutputSource)
            // An amplifier always has a source; only the second of a pair
            // takes the first one's signal.
            v = between(1, path.channel % 2 == 1 ? outputSourceBridged : 4);
        ParameterTable::setValue(state, path, v);
        EXPECT_EQ(ParameterTable::value(state, path), v) << ParameterTable::pathText(path).toStdString();
    }
    return state;
}

// What the amplifier holds, read as the editor reads it.
AmpParameters readBack(const SimAmplifier& amp)
{
    AmpParameters state;
    applyFullStateReply(decodeFullStateReply(amp.fullStateReply()), state);
    return state;
}

std::string describe(const QList<ParameterPath>& paths)
{
    std::string text;
    for (const ParameterPath& path : paths)
        text += ParameterTable::pathText(path).toStdString() + "; ";
    return text;
}

TEST(ParameterTable, EveryKeyHasItsRowAndANameOfItsOwn)
{
    QStringList names;
    for (int k = 0; k < parameterKeyCount; ++k) {
        const Parameter& p = ParameterTable::of(static_cast<ParameterKey>(k));
        EXPECT_EQ(static_cast<int>(p.key), k);
        names << QString::fromLatin1(p.name);
        EXPECT_EQ(ParameterTable::named(names.last()), &p);
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), parameterKeyCount);
    EXPECT_EQ(ParameterTable::named(u"volume"), nullptr);
    // Four channels of 16 channel parameters and 15 bands of 4, two of the amplifier.
    EXPECT_EQ(ParameterTable::paths(4).size(), 2 + 4 * 15 + 4 * 15 * 4);
    EXPECT_EQ(ParameterTable::paths(2).size(), 2 + 2 * 15 + 2 * 15 * 4);
}

TEST(ParameterTable, RangesOfTheAmplifier)
{
    AmpParameters state;
    const auto range = [&](ParameterKey key) {
        const ParameterLimits l = ParameterTable::limits(key, state);
        return std::pair{l.minimum, l.maximum};
    };
    EXPECT_EQ(range(ParameterKey::VolumeDb), std::pair(-80.0, 6.0));
    EXPECT_EQ(range(ParameterKey::DelayUs), std::pair(0.0, 65000.0));
    EXPECT_EQ(range(ParameterKey::HpFrequencyHz), std::pair(20.0, 20000.0));
    EXPECT_EQ(range(ParameterKey::AttackMs), std::pair(1.0, 10000.0));
    EXPECT_EQ(range(ParameterKey::BandGainDb), std::pair(-18.0, 18.0));
    EXPECT_EQ(range(ParameterKey::BandQ), std::pair(0.1, 20.0));
    EXPECT_EQ(range(ParameterKey::BandType), std::pair(0.0, 10.0));
    EXPECT_EQ(range(ParameterKey::HpType), std::pair(0.0, 9.0));
    // Gain and threshold follow gainTop; the threshold only once it is read.
    EXPECT_EQ(range(ParameterKey::GainDb), std::pair(23.0, 41.0));
    EXPECT_EQ(range(ParameterKey::LimiterThreshold), std::pair(11.0, 41.0));
    state.setGainTop(30);
    EXPECT_EQ(range(ParameterKey::GainDb), std::pair(12.0, 30.0));
    EXPECT_EQ(range(ParameterKey::LimiterThreshold), std::pair(2.0, 32.0));
}

TEST(ParameterTable, ValuesAreLimitedAndListsRefuseWhatTheyLack)
{
    AmpParameters state;
    const ParameterPath volume{ParameterKey::VolumeDb, 1, 0};
    ParameterTable::setValue(state, volume, -100);
    EXPECT_EQ(state.channels[1].volumeDb, -80);
    const ParameterPath q{ParameterKey::BandQ, 0, 3};
    ParameterTable::setValue(state, q, 2.374);
    EXPECT_EQ(state.band(0, 3).bandQ, 2.37); // hundredths travel
    ParameterTable::setFromWire(state, q, 147);
    EXPECT_EQ(state.band(0, 3).bandQ, 1.4); // a Q read is held with one decimal, cut
    const ParameterPath type{ParameterKey::HpType, 2, 0};
    ParameterTable::setValue(state, type, 4);
    ParameterTable::setValue(state, type, 10);
    EXPECT_EQ(state.channels[2].hpType, CrossoverFilterType::Butterworth24);
    // Bridging belongs to the second channel of a pair.
    ParameterTable::setValue(state, {ParameterKey::OutputSource, 0, 0}, 5);
    EXPECT_EQ(state.channels[0].outputSource, 0);
    ParameterTable::setValue(state, {ParameterKey::OutputSource, 1, 0}, 5);
    EXPECT_TRUE(state.isBridged(0));
    // The delay is unknown until read.
    EXPECT_EQ(ParameterTable::value(state, {ParameterKey::DelayUs, 0, 0}), std::nullopt);
}

TEST(ParameterTable, FramesOfSingleValuesAreTheCommandsFrames)
{
    AmpParameters state;
    state.channels[1].volumeDb = -20;
    state.channels[0].delayUs = 1234;
    state.channels[3].hpType = CrossoverFilterType::Bessel24;
    state.band(2, 4) = {1000, -6.5, 2.3, EqFilterType::HighShelf};
    state.knobLock = true;
    const struct {
        ParameterPath path;
        QByteArray frame;
    } rows[] = {
        {{ParameterKey::VolumeDb, 1, 0}, hex("55 06 03 10 02 03 EC 0A")},
        {{ParameterKey::DelayUs, 0, 0}, Commands::delay(3, 1, 1234)},
        {{ParameterKey::HpType, 3, 0}, Commands::highPassType(3, 4, 5)},
        {{ParameterKey::KnobLock, 0, 0}, Commands::knobLock(3, true)},
        {{ParameterKey::AttackMs, 0, 0}, Commands::attack(3, 1, 1, AttackSource::Box)},
        {{ParameterKey::BandGainDb, 2, 4}, Commands::eqBand(3, 3, 5, 1000, -6.5)},
        {{ParameterKey::BandFrequencyHz, 2, 4}, Commands::eqBand(3, 3, 5, 1000, -6.5)},
        {{ParameterKey::BandQ, 2, 4}, Commands::eqQ(3, 3, 5, 230)},
        {{ParameterKey::BandType, 2, 4}, Commands::eqType(3, 3, 5, 3)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParameterTable::frame(state, row.path, 3).toHex(' '), row.frame.toHex(' '))
            << ParameterTable::pathText(row.path).toStdString();
    EXPECT_TRUE(ParameterTable::frame(state, {ParameterKey::DelayUs, 1, 0}, 3).isEmpty()) << "unknown delay";
}

TEST(ParameterTable, FramesToReachGoInASensibleOrder)
{
    AmpParameters from;
    AmpParameters to = from;
    EXPECT_TRUE(ParameterTable::framesToReach(from, to, address).isEmpty());
    to.channels[0].outputSource = 2;
    to.channels[1].outputSource = outputSourceBridged;
    to.channels[2].hpFrequencyHz = 80;
    to.channels[2].hpType = CrossoverFilterType::Butterworth24;
    to.band(0, 0).bandQ = 3.0;
    to.band(0, 0).bandGainDb = 4.5;
    to.band(0, 0).bandType = EqFilterType::LowShelf;
    EXPECT_EQ(ParameterTable::framesToReach(from, to, address),
              QList<QByteArray>({Commands::outputSource(address, 2, 5), Commands::outputSource(address, 1, 2),
                                 Commands::highPassType(address, 3, 4), Commands::highPassFrequency(address, 3, 80),
                                 Commands::eqType(address, 1, 1, 2),
                                 Commands::eqBand(address, 1, 1, to.band(0, 0).bandFrequencyHz, 4.5),
                                 Commands::eqQ(address, 1, 1, 300)}));
    // Frequency and gain of one band changed: one frame carries both.
    to = from;
    to.band(1, 2).bandFrequencyHz = 440;
    to.band(1, 2).bandGainDb = -3;
    EXPECT_EQ(ParameterTable::framesToReach(from, to, address),
              QList<QByteArray>{Commands::eqBand(address, 2, 3, 440, -3)});
}

// For many random pairs of states: a simulated amplifier in the first that
// receives the frames ends in the second, and every frame changes it.
TEST(ParameterTable, FramesToReachTakeAnAmplifierFromOneStateToAnother)
{
    QRandomGenerator random(20261209);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const int gainTop = random.bounded(20, 60);
        const AmpParameters from = randomState(random, gainTop);
        AmpParameters to = randomState(random, gainTop);
        // Now and then only a few values differ.
        if (round % 3 == 0) {
            to = from;
            const QList<ParameterPath> all = ParameterTable::paths(channelCountMax);
            for (int n = 0; n < 5; ++n) {
                const ParameterPath path = all[random.bounded(static_cast<int>(all.size()))];
                ParameterTable::setValue(to, path, *ParameterTable::value(randomState(random, gainTop), path));
            }
        }

        SimAmplifier amp(address, channelCountMax, gainTop);
        amp.handleFrame(encodeFullStateReply(from, address));
        amp.parameters().powerState = from.powerState; // the amplifier's own, not taken from a file
        ASSERT_TRUE(ParameterTable::differences(readBack(amp), from).isEmpty())
            << describe(ParameterTable::differences(readBack(amp), from));

        for (const QByteArray& frame : ParameterTable::framesToReach(from, to, address)) {
            const QByteArray before = amp.fullStateReply();
            amp.handleFrame(frame);
            EXPECT_NE(amp.fullStateReply(), before) << "changes nothing: " << frame.toHex(' ').toStdString();
        }
        const QList<ParameterPath> left = ParameterTable::differences(readBack(amp), to);
        EXPECT_TRUE(left.isEmpty()) << describe(left);
    }
}

} // namespace
