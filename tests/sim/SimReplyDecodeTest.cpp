// The editor's own decoders read what the simulated amplifier answers.

#include "sim/SimAmplifier.h"

#include "protocol/Commands.h"
#include "protocol/FullStateReply.h"
#include "app/StatusWords.h"
#include "app/UiLanguage.h"
#include "protocol/MonitorReply.h"

#include <gtest/gtest.h>

namespace {

TEST(SimRepliesDecoded, FullStateAsTheEditorReadsIt)
{
    SimAmplifier amp(6, 2, 30);
    amp.handleFrame(Commands::volume(6, 2, -20));
    amp.handleFrame(Commands::delay(6, 1, 1234));
    amp.handleFrame(Commands::outputSource(6, 2, 5));
    amp.handleFrame(Commands::highPassType(6, 1, 6));
    amp.handleFrame(Commands::threshold(6, 2, 5));
    amp.handleFrame(Commands::eqBand(6, 2, 4, 250, -3.5));
    amp.handleFrame(Commands::eqQ(6, 2, 4, 147));
    amp.handleFrame(Commands::power(6, 2));

    const FullStateReply r = decodeFullStateReply(amp.fullStateReply());
    ASSERT_TRUE(r.startsWithHeader);
    EXPECT_EQ(r.address, 6);
    EXPECT_EQ(r.channelCount, 2);
    EXPECT_EQ(r.gainTop, 30);
    EXPECT_EQ(r.powerState, 2);
    ASSERT_TRUE(r.volume && r.delay && r.outputSource && r.hpType && r.threshold && r.gain);
    EXPECT_EQ((*r.volume)[1], -20);
    EXPECT_EQ((*r.delay)[0], 1234);
    EXPECT_EQ((*r.outputSource)[1], 5);
    EXPECT_EQ((*r.hpType)[0], 7);
    EXPECT_EQ((*r.threshold)[1], 5);
    EXPECT_EQ((*r.gain)[0], 12);
    ASSERT_TRUE(r.bands[1][3].has_value());
    EXPECT_EQ(*r.bands[1][3], (FullStateReply::BandRecord{250, -350, 147, 2}));
    ASSERT_TRUE(r.bands[3][14].has_value()); // every record arrives, CHD's too
}

TEST(SimRepliesDecoded, MonitorReplyAsTheEditorShowsIt)
{
    SimAmplifier amp(1);
    amp.readings().voltage[0] = 1200;
    amp.readings().current[0] = 100;
    amp.readings().temperature[0] = -200;
    amp.protectionFlags = 0x0F;
    const MonitorDecode d = decodeMonitorReply(amp.handleFrame(Commands::monitorPoll(1)), {});
    ASSERT_TRUE(d.accepted && d.readingsComplete);
    const MonitorTexts texts = monitorTexts(d.readings, {}, englishUi);
    EXPECT_EQ(texts.voltage[0], QStringLiteral("12.00V"));
    EXPECT_EQ(texts.current[0], QStringLiteral("1.00A"));
    EXPECT_EQ(texts.temperature[0], QStringLiteral("-2.00℃"));
    EXPECT_EQ(statusWord(d.status, englishUi), QStringLiteral("Dc protection"));
}

} // namespace
