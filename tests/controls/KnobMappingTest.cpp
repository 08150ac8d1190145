// Angle mapping of the rotary knob, its handle drawing, and the film-strip frame it shows for a value.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/FilmstripKnob.h"
#include "gui/controls/RotaryKnob.h"
#include "gui/core/Pixmap.h"
#include "tests/controls/ControlHarness.h"

namespace {

// The editor's knob size: 42 by 37, radius 21.
const UiRect editorKnob{0, 0, 42, 37};

TEST(KnobMappingTest, EditorKnobPointsAndDeadAngleHalves) {
    RotaryKnob* knob = new RotaryKnob(editorKnob, nullptr, 0, nullptr, nullptr, {0, 0});
    EXPECT_FLOAT_EQ(knob->getRadius(), 21.0f);
    EXPECT_NEAR(knob->pointToValue({21, 0}), 0.5f, 1e-5);      // straight up
    EXPECT_NEAR(knob->pointToValue({42, 21}), 0.8333f, 1e-4);  // 45° before the maximum
    EXPECT_NEAR(knob->pointToValue({0, 21}), 0.1667f, 1e-4);
    // The dead angle at the bottom: its left half snaps to the minimum, its right half to the maximum.
    EXPECT_EQ(knob->pointToValue({20, 40}), 0.0f);
    EXPECT_EQ(knob->pointToValue({22, 40}), 1.0f);
    knob->release();
}

TEST(KnobMappingTest, CounterClockwiseSweepMirrorsTheDeadAngle) {
    RotaryKnob* knob = new RotaryKnob(editorKnob, nullptr, 0, nullptr, nullptr, {0, 0});
    knob->setStartAngle(-0.7853982f);  // minimum at the lower right
    knob->setRangeAngle(4.712389f);    // growing counter-clockwise
    EXPECT_NEAR(knob->pointToValue({21, 0}), 0.5f, 1e-5);
    EXPECT_NEAR(knob->pointToValue({42, 21}), 0.1667f, 1e-4);
    EXPECT_EQ(knob->pointToValue({22, 40}), 0.0f);
    EXPECT_EQ(knob->pointToValue({20, 40}), 1.0f);
    knob->release();
}

TEST(KnobMappingTest, ValueToPointRoundTripsThroughPointToValue) {
    RotaryKnob* knob = new RotaryKnob(UiRect{0, 0, 100, 100}, nullptr, 0, nullptr, nullptr, {0, 0});
    EXPECT_EQ(knob->getInset(), 3);
    UiPoint p;
    knob->setValue(0.5f);
    knob->valueToPoint(p);
    EXPECT_EQ(p.h, 50);
    EXPECT_EQ(p.v, 3);  // on the circle, inset from the rim
    for (int i = 0; i <= 10; ++i) {
        knob->setValue(i / 10.0f);
        knob->valueToPoint(p);
        EXPECT_NEAR(knob->pointToValue(p), i / 10.0f, 0.01) << "value " << i / 10.0;
    }
    // A new range takes effect in the mapping once the angles are set again.
    knob->setMaximum(2.0f);
    knob->setStartAngle(knob->getStartAngle());
    EXPECT_NEAR(knob->pointToValue({50, 0}), 1.0f, 1e-5);
    knob->release();
}

TEST(KnobMappingTest, HandleLineAndItsShadowAreDrawnFromTheCentre) {
    EditorHarness harness(UiRect{0, 0, 120, 120});
    RotaryKnob* knob = new RotaryKnob(UiRect{10, 10, 110, 110}, nullptr, 0, nullptr, nullptr, {0, 0});
    knob->setHandleColour(UiColor{255, 255, 0, 0});
    knob->setHandleShadowColour(UiColor{0, 0, 255, 0});
    knob->setValue(0.5f);  // straight up
    harness.window->addChild(knob);
    HeadlessWindow* child = harness.child();
    ASSERT_NE(child, nullptr);
    child->paint();
    // Centre (10 + 50 - 1, 10 + 50), tip (10 + 50 - 1, 10 + 3): the shadow runs up column 59 from row 13;
    // the handle one pixel right and one up.
    EXPECT_EQ(rgbOf(child->pixel(59, 30)), 0x0000FFu);
    EXPECT_EQ(rgbOf(child->pixel(60, 29)), 0xFFFF00u);
    EXPECT_EQ(rgbOf(child->pixel(60, 12)), 0xFFFF00u);
    EXPECT_NE(rgbOf(child->pixel(62, 30)), 0xFFFF00u);
}

TEST(KnobMappingTest, HandlePixmapSetsTheInsetAndIsDrawnCentredOnThePoint) {
    Pixmap* handle = new Pixmap(130);  // 14 by 12
    ASSERT_EQ(handle->getWidth(), 14);
    RotaryKnob* knob = new RotaryKnob(editorKnob, nullptr, 0, nullptr, handle, {0, 0});
    EXPECT_EQ(knob->getInset(), 9);  // trunc(14 * 0.5 + 2.5)
    EXPECT_EQ(handle->getRetainCount(), 2);
    knob->setHandlePixmap(nullptr);
    EXPECT_EQ(knob->getInset(), 9);  // kept without a new picture
    EXPECT_EQ(handle->getRetainCount(), 1);
    knob->release();
    handle->release();
}

struct FrameCase {
    float value;
    bool inverted;
    int32_t top;
};

TEST(KnobMappingTest, FilmstripFrameSelection) {
    const FrameCase cases[] = {
        {0.5f, false, 1184},  // frame 32
        {0.1f, false, 222},   // t = 236 lies in frame 6
        {1.0f, false, 2368},  // the last frame
        {0.0f, false, 0},
        {-0.5f, false, 0},
        {NAN, false, 0},
        {1.5f, false, 3552},  // beyond the strip: the row itself
        {1.01f, false, 2391},  // also just beyond the last frame
        {1.0e10f, false, 2147483647},
        {0.1f, true, 2109},   // t = trunc(2368 * 0.9) = 2131 lies in frame 57
        {1.0f, true, 0},
    };
    FilmstripKnob* knob = new FilmstripKnob(editorKnob, nullptr, 1, 65, 37, nullptr, {0, 0});
    EXPECT_EQ(knob->getInset(), 0);
    for (const FrameCase& c : cases) {
        knob->setInverted(c.inverted);
        knob->setValue(c.value);
        EXPECT_EQ(knob->frameTop(), c.top) << "value " << c.value << (c.inverted ? " inverted" : "");
    }
    knob->release();
}

TEST(KnobMappingTest, FilmstripDrawsTheWholeFrameOfTheStrip) {
    const BmpImage strip = resourceImage(13);
    ASSERT_TRUE(strip.error.empty()) << strip.error;
    EditorHarness harness(UiRect{0, 0, 100, 60});
    Pixmap* pixmap = new Pixmap(13);
    const UiRect bounds{20, 10, 62, 47};
    FilmstripKnob* knob = new FilmstripKnob(bounds, nullptr, 1, 65, 37, pixmap, {0, 0});
    pixmap->release();
    knob->setValue(0.1f);
    harness.window->addChild(knob);
    harness.child()->paint();
    EXPECT_EQ(mismatches(harness.child(), bounds, strip, 0, 222), 0);

    knob->setValue(0.5f);
    EXPECT_TRUE(knob->isDirty());
    harness.window->idle();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(mismatches(harness.child(), bounds, strip, 0, 1184), 0);
}

}  // namespace
