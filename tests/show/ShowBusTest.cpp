// The show's amplifiers simulated in this process, and values for people.
#include "show/ShowBus.h"

#include "protocol/ParameterTable.h"
#include "sim/SimAmplifier.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualAmplifier, HoldsTheShowsStateAndGivesItBack)
{
    ShowFile::Amplifier amp = ShowBus::defaultAmplifier(5, 2, 30);
    AmpParameters& p = amp.parameters;
    ParameterTable::setValue(p, {ParameterKey::VolumeDb, 1}, -12);
    ParameterTable::setValue(p, {ParameterKey::KnobLock}, 1);
    ParameterTable::setValue(p, {ParameterKey::HpType, 0}, 4);
    ParameterTable::setValue(p, {ParameterKey::HpFrequencyHz, 0}, 120);
    ParameterTable::setValue(p, {ParameterKey::BandGainDb, 1, 6}, -4.5);
    ParameterTable::setValue(p, {ParameterKey::BandQ, 1, 6}, 2.3);
    ParameterTable::setValue(p, {ParameterKey::OutputSource, 1}, 5);

    ShowBus::VirtualAmplifier virtualAmp(amp);
    const ShowFile::Amplifier state = virtualAmp.state();
    EXPECT_EQ(state.address, 5);
    EXPECT_EQ(state.parameters.channelCount, 2);
    EXPECT_EQ(state.parameters.gainTop, 30);
    EXPECT_FALSE(state.receivedAt.isValid()) << "received from no bus";
    const QList<ShowFile::Difference> left = ShowFile::differences(state.parameters, p);
    EXPECT_TRUE(left.isEmpty()) << ParameterTable::pathText(left.value(0).path).toStdString();
    EXPECT_EQ(state.reply, virtualAmp.amplifier().fullStateReply());

    // What is done to it shows in its state.
    virtualAmp.amplifier().parameters().channels[0].mute = true;
    EXPECT_EQ(ShowFile::differences(virtualAmp.state().parameters, p).size(), 1);
}

TEST(ShowFile, ValueTextNamesListEntriesAndShowsHundredths)
{
    struct Row {
        ParameterPath path;
        std::optional<double> value;
        const char* text;
    };
    const Row rows[] = {
        {{ParameterKey::HpType, 2}, 4, "4 24dB_Bworth"},
        {{ParameterKey::BandType, 0, 3}, 2, "2 Low Shelf"},
        {{ParameterKey::OutputSource, 3}, 5, "5 bridged"},
        {{ParameterKey::BandGainDb, 0, 3}, -4.5, "-4.5"},
        {{ParameterKey::BandQ, 0, 3}, 1.4, "1.4"},
        {{ParameterKey::Mute, 1}, 1, "1"},
        {{ParameterKey::DelayUs, 1}, std::nullopt, "-"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShowFile::valueText(row.path, row.value), QString::fromUtf8(row.text))
            << ParameterTable::pathText(row.path).toStdString();
}

} // namespace
