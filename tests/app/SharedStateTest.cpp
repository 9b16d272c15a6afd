#include "app/SharedState.h"

#include <gtest/gtest.h>

namespace {

void expectFresh(const SharedState& state)
{
    EXPECT_EQ(state.selectedAddress, 0);
    EXPECT_TRUE(state.selectedName.isEmpty());
    EXPECT_EQ(state.portNumber, 0);
    EXPECT_TRUE(state.baudText.isEmpty());
    EXPECT_FALSE(state.editorStatus.has_value());
    EXPECT_FALSE(state.reopenHomePort);
    EXPECT_TRUE(state.presetName.isEmpty());
    EXPECT_EQ(state.presetNumber, 0);
    EXPECT_FALSE(state.presetRecalled);
}

TEST(SharedState, StartsWithInitialValues)
{
    expectFresh(sharedState());
}

TEST(SharedState, IsOneRecordForTheProcessAndResets)
{
    sharedState().selectedAddress = 7;
    sharedState().selectedName = QStringLiteral("Hall");
    sharedState().editorStatus = AmpStatus{AmpStatusKind::Clip};
    sharedState().presetRecalled = true;
    EXPECT_EQ(sharedState().selectedAddress, 7);
    // What one part of the program leaves, another reads.
    const SharedState& elsewhere = sharedState();
    EXPECT_EQ(elsewhere.selectedName, QStringLiteral("Hall"));
    EXPECT_TRUE(elsewhere.presetRecalled);

    resetSharedState();
    expectFresh(sharedState());
}

} // namespace
