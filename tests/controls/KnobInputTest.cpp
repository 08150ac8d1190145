// Knob input: circular and linear drags, the mode switch, Control-click, wheel and arrow keys.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/FilmstripKnob.h"
#include "tests/controls/ControlHarness.h"

namespace {

// An editor-sized knob at (100, 20) in a window of a recording host.
struct KnobRig {
    KnobRig() : harness(UiRect{0, 0, 300, 200}) {
        GuiEditor::knobMode = 0;
        knob = new FilmstripKnob(bounds, &listener, 2, 65, 37, nullptr, {0, 0});
        knob->setValue(0.5f);
        knob->setDirty(false);
        harness.window->addChild(knob);
        harness.child()->paint();
        RecordingHost::instance().requests.clear();
    }
    ~KnobRig() { GuiEditor::knobMode = 0; }

    // Window point at the given angle (radians, counter-clockwise from the right) around the knob's centre.
    UiPoint atAngle(double angle, double distance = 18.0) const {
        return UiPoint{bounds.left + int32_t(std::lround(21 + std::cos(angle) * distance)),
                       bounds.top + int32_t(std::lround(21 - std::sin(angle) * distance))};
    }
    // Window point that shows the value v on the editor's sweep (5π/4 down to -π/4).
    UiPoint atValue(double v) const { return atAngle(3.9269908 - v * 4.712389); }

    void drag(const std::vector<UiPoint>& path, int32_t modifiers = 0) { scriptDrag(harness.child(), path, modifiers); }

    const UiRect bounds{100, 20, 142, 57};
    EditorHarness harness;
    DrawingListener listener;
    FilmstripKnob* knob = nullptr;
};

TEST(KnobInputTest, CircularDragAcrossTheDeadAnglePinsTheKnobToTheEndItCameFrom) {
    KnobRig rig;
    const UiPoint deadRight{rig.bounds.left + 23, rig.bounds.top + 40};
    const UiPoint deadLeft{rig.bounds.left + 19, rig.bounds.top + 40};
    rig.drag({rig.atValue(0.9), deadRight, deadLeft, rig.atValue(0.1), rig.atValue(0.45), rig.atValue(0.6)});

    const std::vector<float>& v = rig.listener.values;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(v[0], 0.9f, 0.02);
    EXPECT_EQ(v[1], 1.0f);  // the right half of the gap; then the jump to the left half and to 0.1 is refused
    EXPECT_NEAR(v[2], 0.6f, 0.02);  // 0.45 is still more than half the range from 1.0; 0.6 is not
    EXPECT_NEAR(rig.knob->getValue(), 0.6f, 0.02);

    // One gesture, bracketed for the knob's tag, and the knob holds the focus afterwards.
    EXPECT_EQ(rig.harness.requests(audioMasterBeginEdit), std::vector<VstInt32>{2});
    EXPECT_EQ(rig.harness.requests(audioMasterEndEdit), std::vector<VstInt32>{2});
    EXPECT_EQ(RecordingHost::instance().requests.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(rig.harness.window->getFocusWidget(), rig.knob);
}

TEST(KnobInputTest, LinearDragAddsRightAndUpAt200PixelsPerRange) {
    KnobRig rig;
    GuiEditor::knobMode = 2;
    const UiPoint start{120, 40};
    rig.drag({start, {start.h + 100, start.v + 50}});
    ASSERT_FALSE(rig.listener.values.empty());
    EXPECT_NEAR(rig.knob->getValue(), 0.75f, 1e-6);  // 0.5 + (100 - 50) / 200

    // Far beyond the end: clamped to the range.
    rig.drag({start, {start.h + 400, start.v}});
    EXPECT_EQ(rig.knob->getValue(), 1.0f);
}

TEST(KnobInputTest, ShiftDuringALinearDragContinuesWithoutAJumpAtAThirdOfTheSpeed) {
    KnobRig rig;
    GuiEditor::knobMode = 2;
    const UiPoint origin = rig.harness.child()->screenOrigin();
    const UiPoint a{120, 40};
    auto screen = [&](int dx) { return UiPoint{origin.h + a.h + dx, origin.v + a.v}; };
    ScriptedInput::instance()
        .press(screen(0))
        .hold(3)
        .moveTo(screen(40))
        .setModifiers(KeyShift)
        .moveTo(screen(41))
        .moveTo(screen(71))
        .release();
    rig.harness.child()->mouseDown(MouseLeft, a);

    const std::vector<float>& v = rig.listener.values;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(v[0], 0.7f, 1e-6);            // 40 pixels at 1/200
    EXPECT_NEAR(v[1], 0.705f, 1e-6);          // Shift came in with this move: it still counts at 1/200
    EXPECT_NEAR(v[2], 0.705f + 0.1f, 1e-6);   // 30 pixels at 1/300
}

TEST(KnobInputTest, AltSwitchesBetweenCircularAndLinearInEitherKnobMode) {
    KnobRig rig;
    const UiPoint right = rig.atValue(0.8333);
    // Knob mode 0 with Alt: linear, so a click without movement keeps the value.
    rig.drag({right}, KeyAlt);
    EXPECT_EQ(rig.knob->getValue(), 0.5f);
    // Knob mode 0 without Alt: circular, the knob jumps to the point.
    rig.drag({right});
    EXPECT_NEAR(rig.knob->getValue(), 0.8333f, 0.02);
    // Knob mode 2 with Alt: circular again.
    GuiEditor::knobMode = 2;
    rig.drag({rig.atValue(0.25)}, KeyAlt);
    EXPECT_NEAR(rig.knob->getValue(), 0.25f, 0.02);
}

TEST(KnobInputTest, ControlClickRestoresTheDefaultWithoutAGesture) {
    KnobRig rig;
    rig.knob->setValue(0.9f);
    rig.knob->setDirty(false);
    scriptClick(rig.harness.child(), rig.atValue(0.1), KeyControl);
    EXPECT_EQ(rig.knob->getValue(), 0.5f);
    EXPECT_EQ(rig.listener.values, std::vector<float>{0.5f});
    EXPECT_TRUE(rig.harness.requests(audioMasterBeginEdit).empty());
    EXPECT_TRUE(rig.harness.requests(audioMasterEndEdit).empty());

    // Control and Shift together are an ordinary circular click.
    scriptClick(rig.harness.child(), rig.atValue(0.1), KeyControl | KeyShift);
    EXPECT_NEAR(rig.knob->getValue(), 0.1f, 0.02);
    EXPECT_EQ(rig.harness.requests(audioMasterBeginEdit).size(), 1u);
}

TEST(KnobInputTest, WheelStepsATenthAndAHundredthWithShiftAndClamps) {
    KnobRig rig;
    DrawSurface surface(rig.harness.window, nullptr, nullptr);
    ScriptedInput::instance().setState(0, {0, 0});
    EXPECT_TRUE(rig.knob->onWheel(&surface, {0, 0}, 1.0f));
    EXPECT_NEAR(rig.knob->getValue(), 0.6f, 1e-6);
    ScriptedInput::instance().setState(KeyShift, {0, 0});
    rig.knob->onWheel(&surface, {0, 0}, -1.0f);
    EXPECT_NEAR(rig.knob->getValue(), 0.59f, 1e-6);
    ScriptedInput::instance().setState(0, {0, 0});
    rig.knob->onWheel(&surface, {0, 0}, 10.0f);
    EXPECT_EQ(rig.knob->getValue(), 1.0f);
    EXPECT_EQ(rig.listener.values.size(), 3u);
    // A further notch at the end changes nothing and reports nothing.
    rig.knob->onWheel(&surface, {0, 0}, 1.0f);
    EXPECT_EQ(rig.listener.values.size(), 3u);

    rig.knob->setMouseEnabled(false);
    EXPECT_FALSE(rig.knob->onWheel(&surface, {0, 0}, -1.0f));
    EXPECT_EQ(rig.knob->getValue(), 1.0f);
}

TEST(KnobInputTest, ArrowKeysStepTheValueAndOtherKeysPass) {
    KnobRig rig;
    UiKey key{0, UiKeyName::Up, false};
    EXPECT_EQ(rig.knob->onKeyDown(key), 1);
    EXPECT_NEAR(rig.knob->getValue(), 0.6f, 1e-6);
    key.name = UiKeyName::Right;
    rig.knob->onKeyDown(key);
    EXPECT_NEAR(rig.knob->getValue(), 0.7f, 1e-6);
    key.name = UiKeyName::Left;
    key.shift = true;
    rig.knob->onKeyDown(key);
    EXPECT_NEAR(rig.knob->getValue(), 0.69f, 1e-6);
    key.name = UiKeyName::Down;
    key.shift = false;
    rig.knob->setMouseEnabled(false);  // keys do not depend on the mouse
    rig.knob->onKeyDown(key);
    EXPECT_NEAR(rig.knob->getValue(), 0.59f, 1e-6);
    EXPECT_EQ(rig.listener.values.size(), 4u);

    key = UiKey{' ', UiKeyName::Other, false};  // space
    EXPECT_EQ(rig.knob->onKeyDown(key), -1);
    EXPECT_NEAR(rig.knob->getValue(), 0.59f, 1e-6);
    EXPECT_EQ(rig.listener.values.size(), 4u);
}

}  // namespace
