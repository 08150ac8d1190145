// Speaker arrangement records: allocation, release, copies and matching.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "ProbeEffect.h"

namespace {

class SpeakerArrangementTest : public ::testing::Test {
  protected:
    void TearDown() override {
        effect.releaseArrangement(&slot);
        effect.releaseArrangement(&source);
    }
    ProbeEffect effect{nullptr};
    VstSpeakerArrangement* slot = nullptr;
    VstSpeakerArrangement* source = nullptr;
};

TEST_F(SpeakerArrangementTest, AllocateGivesZeroedRecordWithChannelCount) {
    ASSERT_TRUE(effect.allocateArrangement(&slot, 3));
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->numChannels, 3);
    EXPECT_EQ(slot->type, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(slot->speakers);
    for (size_t i = 0; i < 3 * sizeof(VstSpeakerProperties); ++i) ASSERT_EQ(bytes[i], 0) << i;
    // A second allocation replaces the first (ASan reports a leak otherwise).
    ASSERT_TRUE(effect.allocateArrangement(&slot, 1));
    EXPECT_EQ(slot->numChannels, 1);
    EXPECT_TRUE(effect.releaseArrangement(&slot));
    EXPECT_EQ(slot, nullptr);
    EXPECT_TRUE(effect.releaseArrangement(&slot));
}

TEST_F(SpeakerArrangementTest, ImpossibleSizesFailAndLeaveTheSlotEmpty) {
    ASSERT_TRUE(effect.allocateArrangement(&slot, 2));
    EXPECT_FALSE(effect.allocateArrangement(&slot, -1));
    EXPECT_EQ(slot, nullptr);
    if (sizeof(size_t) == 4) {  // 112 x channels would wrap the byte count
        EXPECT_FALSE(effect.allocateArrangement(&slot, std::numeric_limits<VstInt32>::max()));
        EXPECT_EQ(slot, nullptr);
    }
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
}

TEST_F(SpeakerArrangementTest, CopyTakesNameTypeFloatsAndReservedBytes) {
    VstSpeakerProperties from{}, to{};
    from.azimuth = 0.5f;
    from.elevation = -0.25f;
    from.radius = 2.0f;
    from.reserved = 3.0f;
    std::strcpy(from.name, "Left");
    from.type = 1;
    std::memset(from.future, 0xAB, sizeof(from.future));
    std::memset(to.name, 'x', sizeof(to.name));
    ASSERT_TRUE(effect.copySpeakerProperties(&to, &from));
    EXPECT_STREQ(to.name, "Left");
    EXPECT_EQ(to.type, 1);
    EXPECT_EQ(to.azimuth, 0.5f);
    EXPECT_EQ(to.elevation, -0.25f);
    EXPECT_EQ(to.radius, 2.0f);
    EXPECT_EQ(to.reserved, 3.0f);
    EXPECT_EQ(std::memcmp(to.future, from.future, sizeof(to.future)), 0);

    std::memset(from.name, 'y', sizeof(from.name));  // no terminator: cut to fit
    ASSERT_TRUE(effect.copySpeakerProperties(&to, &from));
    EXPECT_EQ(std::strlen(to.name), sizeof(to.name) - 1);

    EXPECT_FALSE(effect.copySpeakerProperties(nullptr, &from));
    EXPECT_FALSE(effect.copySpeakerProperties(&to, nullptr));
}

TEST_F(SpeakerArrangementTest, MatchCopiesTypeAndEverySpeaker) {
    ASSERT_TRUE(effect.allocateArrangement(&source, 2));
    source->type = 5;
    std::strcpy(source->speakers[0].name, "L");
    std::strcpy(source->speakers[1].name, "R");
    source->speakers[1].azimuth = 1.0f;
    ASSERT_TRUE(effect.allocateArrangement(&slot, 6));
    ASSERT_TRUE(effect.matchArrangement(&slot, source));
    ASSERT_NE(slot, source);
    EXPECT_EQ(slot->numChannels, 2);
    EXPECT_EQ(slot->type, 5);
    EXPECT_STREQ(slot->speakers[0].name, "L");
    EXPECT_STREQ(slot->speakers[1].name, "R");
    EXPECT_EQ(slot->speakers[1].azimuth, 1.0f);
    EXPECT_FALSE(effect.matchArrangement(&slot, nullptr));
}

}  // namespace
