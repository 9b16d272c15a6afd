#include "editor/EditHistory.h"
#include "protocol/FullStateReply.h"
#include "sim/SimAmplifier.h"

#include <gtest/gtest.h>

namespace {

AmpParameters withVolume(AmpParameters state, int channel, int db)
{
    state.channels[channel].volumeDb = db;
    return state;
}

TEST(EditHistory, UndoAndRedoWalkTheSteps)
{
    EditHistory history;
    AmpParameters read;
    history.reset(read);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_TRUE(history.isEmpty());

    const AmpParameters quieter = withVolume(read, 1, -20);
    EXPECT_TRUE(history.record(QStringLiteral("Vol(dB) CHB -20dB"), quieter));
    EXPECT_FALSE(history.record(QStringLiteral("nothing"), quieter)) << "an equal state is no step";
    const AmpParameters louder = withVolume(quieter, 1, -5);
    history.record(QStringLiteral("Vol(dB) CHB -5dB"), louder);
    EXPECT_EQ(history.undoLabel(), QStringLiteral("Vol(dB) CHB -5dB"));

    EXPECT_EQ(history.undo().channels[1].volumeDb, -20);
    EXPECT_EQ(history.redoLabel(), QStringLiteral("Vol(dB) CHB -5dB"));
    EXPECT_EQ(history.undo().channels[1].volumeDb, read.channels[1].volumeDb);
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.redo().channels[1].volumeDb, -20);

    // A new step drops what could be redone.
    history.record(QStringLiteral("Mute CHA"), [&] {
        AmpParameters muted = quieter;
        muted.channels[0].mute = true;
        return muted;
    }());
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.allSteps().size(), 3);
    EXPECT_EQ(history.jumpTo(0).channels[1].volumeDb, read.channels[1].volumeDb);
    EXPECT_EQ(history.jumpTo(99).channels[0].mute, true);
}

TEST(EditHistory, KeepsTheNewestStepsOnly)
{
    EditHistory history;
    history.reset(AmpParameters());
    for (int i = 0; i < EditHistory::maximumSteps + 20; ++i)
        history.record(QString::number(i), withVolume(AmpParameters(), 0, i % 2 ? -10 : -11));
    EXPECT_EQ(history.allSteps().size(), EditHistory::maximumSteps + 1);
    EXPECT_EQ(history.undoLabel(), QString::number(EditHistory::maximumSteps + 19));
}

struct GrouperTest : testing::Test {
    EditHistory history;
    AmpParameters state;
    StepGrouper grouper{history, [](const QList<ParameterPath>& changed, const AmpParameters&) {
                            return ParameterTable::pathText(changed.first());
                        }};
    GrouperTest() { history.reset(state); }
};

TEST_F(GrouperTest, ADragFromPressToReleaseIsOneStep)
{
    grouper.pressed();
    for (int move = 1; move <= 20; ++move) {
        state.band(0, 4).bandFrequencyHz = 500 + 10 * move;
        state.band(0, 4).bandGainDb = move % 2 ? 3.0 : 4.5;
        grouper.changed(state, 100 * move * 30); // pauses of three seconds: the mouse is held
    }
    EXPECT_TRUE(history.isEmpty()) << "nothing before the release";
    grouper.released();
    ASSERT_EQ(history.allSteps().size(), 2);
    const QList<ParameterPath> changed = settingDifferences(history.allSteps()[0].state, history.current());
    EXPECT_EQ(changed, QList<ParameterPath>({{ParameterKey::BandFrequencyHz, 0, 4}, {ParameterKey::BandGainDb, 0, 4}}));
}

TEST_F(GrouperTest, KeysOnOneValueAreOneStepUntilAPause)
{
    for (int step = 1; step <= 5; ++step) {
        state.channels[1].volumeDb = -80 + step;
        grouper.changed(state, 400 * step);
    }
    grouper.tick(2000 + 999);
    EXPECT_TRUE(history.isEmpty()) << "within a second of the last key";
    grouper.tick(2000 + 1001);
    EXPECT_EQ(history.allSteps().size(), 2);
    EXPECT_EQ(history.current().channels[1].volumeDb, -75);

    // A pause, then the same slider again: a new step.
    state.channels[1].volumeDb = -70;
    grouper.changed(state, 5000);
    // Another value: what was pending is a step of its own.
    state.channels[2].mute = true;
    grouper.changed(state, 5100);
    EXPECT_EQ(history.allSteps().size(), 3);
    EXPECT_EQ(history.current().channels[1].volumeDb, -70);
    EXPECT_FALSE(history.current().channels[2].mute);
    EXPECT_TRUE(grouper.commit());
    EXPECT_TRUE(history.current().channels[2].mute);
    EXPECT_EQ(history.undoLabel(), QStringLiteral("mute CHC"));
}

TEST_F(GrouperTest, BackWhereItStartedIsNoStepAndOperatingStatesAreNone)
{
    state.channels[0].volumeDb = -40;
    grouper.changed(state, 0);
    state.channels[0].volumeDb = AmpParameters().channels[0].volumeDb;
    grouper.changed(state, 100);
    EXPECT_FALSE(grouper.commit());
    state.knobLock = true;
    state.powerState = 2;
    grouper.changed(state, 200);
    EXPECT_FALSE(grouper.hasPending());
    EXPECT_TRUE(history.isEmpty());
}

TEST(CopyChannel, CopiesThePartsAskedOntoTheTargetsTheAmplifierHas)
{
    AmpParameters state;
    state.channels[0].volumeDb = -12;
    state.channels[0].hpType = CrossoverFilterType::Bessel24;
    state.channels[0].eqBypass = true;
    state.band(0, 3) = {500, -4.5, 2.3, EqFilterType::LowShelf};
    state.channels[0].limiterThreshold = 20;

    const AmpParameters eqOnly = copyChannel(state, 0, {1, 3}, {ChannelPart::Eq});
    for (int c : {1, 3}) {
        EXPECT_EQ(eqOnly.band(c, 3).bandFrequencyHz, 500) << c;
        EXPECT_EQ(eqOnly.band(c, 3).bandGainDb, -4.5) << c;
        EXPECT_EQ(eqOnly.band(c, 3).bandQ, 2.3) << c;
        EXPECT_EQ(eqOnly.band(c, 3).bandType, EqFilterType::LowShelf) << c;
        EXPECT_TRUE(eqOnly.channels[c].eqBypass) << c;
        EXPECT_NE(eqOnly.channels[c].volumeDb, -12) << c;
        EXPECT_NE(eqOnly.channels[c].hpType, CrossoverFilterType::Bessel24) << c;
    }
    EXPECT_FALSE(eqOnly.channels[2].eqBypass);
    // Only the differing bands travel.
    const QList<QByteArray> frames = ParameterTable::framesToReach(state, eqOnly, 3);
    EXPECT_EQ(frames, QList<QByteArray>({Commands::eqBypass(3, 2, true), Commands::eqBypass(3, 4, true),
                                         Commands::eqType(3, 2, 4, 2), Commands::eqType(3, 4, 4, 2),
                                         Commands::eqBand(3, 2, 4, 500, -4.5), Commands::eqBand(3, 4, 4, 500, -4.5),
                                         Commands::eqQ(3, 2, 4, 230), Commands::eqQ(3, 4, 4, 230)}));

    const AmpParameters all = copyChannel(state, 0, {2}, {ChannelPart::Levels, ChannelPart::Crossover, ChannelPart::Limiter});
    EXPECT_EQ(all.channels[2].volumeDb, -12);
    EXPECT_EQ(all.channels[2].hpType, CrossoverFilterType::Bessel24);
    EXPECT_EQ(all.channels[2].limiterThreshold, 20);
    EXPECT_FALSE(all.channels[2].eqBypass);

    // A two-channel amplifier has no CHC.
    state.channelCount = 2;
    EXPECT_TRUE(ParameterTable::differences(copyChannel(state, 0, {2}, {ChannelPart::Levels}), state).isEmpty());
}

} // namespace
