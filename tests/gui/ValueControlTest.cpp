// ValueControl: the dirty rules, clamping, double-click timing and background references.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "gui/core/Pixmap.h"
#include "tests/gui/EditorHarness.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

TEST(ValueControlTest, DirtyWhileTheValueDiffersFromTheLastDrawnOne) {
    ScriptedInput::instance().reset();
    DragControl control({0, 0, 10, 10}, nullptr, 3);
    EXPECT_TRUE(control.isDirty());  // 0.0 against the initial 1.0
    control.setDirty(false);
    EXPECT_FALSE(control.isDirty());
    EXPECT_EQ(control.getPreviousValue(), 0.0f);
    control.setValue(0.3f);
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.0f);
    EXPECT_FALSE(control.isDirty());  // back to what was drawn

    // setDirty(true) moves the previous value away from the value, so clearing the flag alone keeps it dirty.
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_EQ(control.getPreviousValue(), 0.0f);
    control.clearFlagOnly();
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.25f);
    control.setDirty(true);
    EXPECT_EQ(control.getPreviousValue(), -1.0f);
    control.clearFlagOnly();
    EXPECT_TRUE(control.isDirty());

    control.setValue(std::numeric_limits<float>::quiet_NaN());
    control.setDirty(false);
    EXPECT_TRUE(control.isDirty());  // NaN never equals what was drawn
}

TEST(ValueControlTest, ClampTestsTheMaximumFirstAndLeavesNaN) {
    ScriptedInput::instance().reset();
    DragControl control({0, 0, 10, 10}, nullptr, 0);
    control.setValue(1.5f);
    EXPECT_EQ(control.getValue(), 1.5f);  // stored unchanged until clamped
    control.clampValue();
    EXPECT_EQ(control.getValue(), 1.0f);
    control.setValue(-0.2f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 0.0f);
    control.setValue(std::numeric_limits<float>::quiet_NaN());
    control.clampValue();
    EXPECT_TRUE(std::isnan(control.getValue()));

    // An inverted range shows the order: above the maximum wins before below the minimum.
    control.setMinimum(2.0f);
    control.setMaximum(1.0f);
    control.setValue(1.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 1.0f);
    control.setValue(0.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 2.0f);
}

TEST(ValueControlTest, DoubleClickIntervalIsTheSystemTimeButAtLeast250) {
    ScriptedInput::instance().reset();
    EditorHarness harness;
    ScriptedInput::instance().setDoubleClickTime(200);
    auto* quick = new DragControl({0, 0, 10, 10}, nullptr, 0);
    ScriptedInput::instance().setDoubleClickTime(400);
    auto* slow = new DragControl({0, 0, 10, 10}, nullptr, 0);
    harness.window->addChild(quick);
    harness.window->addChild(slow);

    ScriptedInput& input = ScriptedInput::instance();
    EXPECT_FALSE(quick->isDoubleClick());  // the first click ever
    input.advance(249);
    EXPECT_TRUE(quick->isDoubleClick());
    input.advance(10);
    EXPECT_FALSE(quick->isDoubleClick());  // a third click starts a new pair
    input.advance(250);
    EXPECT_FALSE(quick->isDoubleClick());  // too late for the pair
    input.advance(250);
    EXPECT_FALSE(quick->isDoubleClick());

    EXPECT_FALSE(slow->isDoubleClick());
    input.advance(399);
    EXPECT_TRUE(slow->isDoubleClick());
}

TEST(ValueControlTest, NoDoubleClickWithoutAnEditor) {
    ScriptedInput::instance().reset();
    PluginWindow window(UiRect{0, 0, 100, 100}, NativeHandle(nullptr), nullptr);
    auto* control = new DragControl({0, 0, 10, 10}, nullptr, 0);
    window.addChild(control);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(control->isDoubleClick());
}

TEST(ValueControlTest, BackgroundIsRetainedAndReleased) {
    ScriptedInput::instance().reset();
    auto* pixmap = new Pixmap(30998);
    {
        DragControl control({5, 7, 15, 17}, nullptr, 0);
        control.setBackground(pixmap);
        control.setBackground(pixmap);
        EXPECT_EQ(pixmap->getRetainCount(), 2);
        control.setBackground(nullptr);
        EXPECT_EQ(pixmap->getRetainCount(), 1);
        control.setBackground(pixmap);
        control.useOwnPositionAsBackgroundOffset();
        EXPECT_EQ(control.getBackgroundOffset().h, 5);
        EXPECT_EQ(control.getBackgroundOffset().v, 7);
    }
    EXPECT_EQ(pixmap->getRetainCount(), 1);
    pixmap->retain();
    pixmap->retain();
    pixmap->release();
    pixmap->release();
    EXPECT_EQ(pixmap->getRetainCount(), 1);
    pixmap->release();
}

// Meter levels arrive from the audio thread while the user-interface thread draws: under the thread
// sanitizer flavour this proves the shared value is race-free.
TEST(ValueControlTest, ValueMayBeSetFromAnotherThreadWhileTheInterfaceDraws) {
    ScriptedInput::instance().reset();
    DragControl control({0, 0, 10, 10}, nullptr, 0);
    std::thread audio([&control] {
        for (int i = 0; i < 20000; ++i) control.setValue(float(i % 100) / 50.0f);
    });
    int redraws = 0;
    for (int i = 0; i < 20000; ++i) {
        if (control.isDirty()) {
            control.clampValue();
            control.setDirty(false);
            ++redraws;
        }
    }
    audio.join();
    control.clampValue();
    EXPECT_LE(control.getValue(), 1.0f);
    EXPECT_GE(redraws, 1);
}

}  // namespace
