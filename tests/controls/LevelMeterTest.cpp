// Level meter: quantised split of the two pictures, rise-at-once and decay ballistics, clamping.
#include <gtest/gtest.h>

#include "gui/controls/LevelMeter.h"
#include "gui/core/Pixmap.h"
#include "tests/controls/ControlHarness.h"

namespace {

// A 96 by 6 meter of 12 segments on the module's meter pictures (14 lit, 15 unlit), at (10, 10).
struct MeterRig {
    explicit MeterRig(int32_t style = MeterHorizontal, UiRect bounds = UiRect{10, 10, 106, 16})
        : harness(UiRect{0, 0, 120, 120}), bounds(bounds) {
        Pixmap* lit = new Pixmap(14);
        Pixmap* unlit = new Pixmap(15);
        meter = new LevelMeter(bounds, lit, unlit, 12, style);
        lit->release();
        unlit->release();
        harness.window->addChild(meter);
        harness.child()->paint();
    }
    // Redraws until the shown level has reached the value, as the idle passes do.
    void settle() {
        for (int i = 0; i < 20 && meter->isDirty(); ++i) harness.window->idle();
    }
    // Width of the lit part in pixels, read from the picture on screen: the segments whose middle shows
    // the lit picture (the on part is always the left one).
    int litPixels() {
        const BmpImage lit = resourceImage(14);
        int segments = 0;
        for (int s = 0; s < 12; ++s)
            if (rgbOf(harness.child()->pixel(bounds.left + 8 * s + 3, bounds.top + 2)) == lit.at(8 * s + 3, 2)) ++segments;
        return segments * 8;
    }
    EditorHarness harness;
    UiRect bounds;
    LevelMeter* meter = nullptr;
};

TEST(LevelMeterTest, SteadyValuesLightWholeSegments) {
    const BmpImage lit = resourceImage(14), unlit = resourceImage(15);
    ASSERT_TRUE(lit.error.empty() && unlit.error.empty());
    // The two pictures must differ on the probed row for the pixel reading to mean anything.
    for (int x = 0; x < 96; x += 8) ASSERT_NE(lit.at(x + 3, 2), unlit.at(x + 3, 2)) << x;

    MeterRig rig;
    struct Case {
        float value;
        int32_t split;
    };
    for (Case c : {Case{0.5f, 48}, Case{0.95f, 88}, Case{0.96f, 96}, Case{0.042f, 8}, Case{0.04f, 0}}) {
        rig.meter->setValue(c.value);
        rig.meter->setPreviousValue(c.value);  // shown level equal to the value
        rig.meter->setDirty(true);
        rig.harness.window->idle();
        EXPECT_EQ(rig.meter->getOnArea().right, 10 + c.split) << c.value;
        EXPECT_EQ(rig.meter->getOffArea().left, 10 + c.split) << c.value;
        EXPECT_EQ(rig.litPixels(), c.split) << c.value;
        // The off part shows the unlit picture from the split on.
        if (c.split < 96) {
            EXPECT_EQ(rgbOf(rig.harness.child()->pixel(10 + c.split + 3, 12)), unlit.at(c.split + 3, 2));
        }
    }
}

TEST(LevelMeterTest, FallsByTheDecayPerRedrawAndRisesAtOnce) {
    MeterRig rig;
    rig.meter->setDecay(0.1f);
    rig.meter->setValue(1.0f);
    rig.settle();
    EXPECT_FALSE(rig.meter->isDirty());

    rig.meter->setValue(0.3f);
    std::vector<int> segments;
    while (rig.meter->isDirty() && segments.size() < 20) {
        rig.harness.window->idle();
        segments.push_back(rig.litPixels() / 8);
    }
    EXPECT_EQ(segments, (std::vector<int>{11, 10, 8, 7, 6, 5, 4}));
    EXPECT_FLOAT_EQ(rig.meter->getPreviousValue(), 0.3f);

    rig.meter->setValue(0.8f);  // a rise shows at the next redraw
    rig.harness.window->idle();
    EXPECT_EQ(rig.litPixels(), 80);
    EXPECT_FALSE(rig.meter->isDirty());
}

TEST(LevelMeterTest, ANewMeterFallsFromFullScaleAndClampsItsValue) {
    MeterRig rig;
    // Shown level 1.0 at construction: with value 0 the first redraw shows 0.9 (11 segments).
    EXPECT_EQ(rig.litPixels(), 88);
    rig.meter->setValue(1.5f);
    rig.harness.window->idle();
    EXPECT_EQ(rig.meter->getValue(), 1.0f);  // stored clamped
    EXPECT_EQ(rig.litPixels(), 96);
    EXPECT_FALSE(rig.meter->isDirty());
    // setDirty keeps the shown level: a forced redraw of a settled meter still shows it whole.
    rig.meter->setDirty(true);
    EXPECT_FLOAT_EQ(rig.meter->getPreviousValue(), 1.0f);
}

TEST(LevelMeterTest, VerticalMeterLightsFromTheBottom) {
    // A 6 by 96 column of 12 segments: the pictures are used as they are, split by rows.
    Pixmap* lit = new Pixmap(14);
    EditorHarness harness(UiRect{0, 0, 50, 150});
    LevelMeter* meter = new LevelMeter(UiRect{10, 20, 16, 116}, lit, nullptr, 12, 0);
    lit->release();
    harness.window->addChild(meter);
    meter->setValue(0.25f);
    meter->setPreviousValue(0.25f);
    harness.child()->paint();
    // dark = trunc(0.75 * 12 + 0.5) = 9 segments; y = 9 / 12 * 6 = 4 rows of the 6-row picture.
    EXPECT_EQ(meter->getOffArea().bottom, 24);
    EXPECT_EQ(meter->getOnArea().top, 24);
    EXPECT_EQ(meter->getOnArea().bottom, 116);
    EXPECT_EQ(meter->getOffArea().top, 20);
}

TEST(LevelMeterTest, NothingIsDrawnWithoutTheOnPicture) {
    EditorHarness harness(UiRect{0, 0, 120, 40});
    Pixmap* unlit = new Pixmap(15);
    LevelMeter* meter = new LevelMeter(UiRect{10, 10, 106, 16}, nullptr, unlit, 12, MeterHorizontal);
    unlit->release();
    harness.window->addChild(meter);
    harness.child()->paint();
    EXPECT_EQ(harness.child()->pixel(50, 12).red, (HeadlessWindow::backgroundRgb >> 16) & 0xFF);
    EXPECT_FLOAT_EQ(meter->getPreviousValue(), 1.0f);  // no redraw, no decay
}

}  // namespace
