// KnobDragModeTest: knob mode 2 and Alt choose linear or circular dragging; Shift slows a linear drag.
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"

namespace {

// One press and path serve every mode: from the top of CompThreshold's knob, 100 pixels right and 50 down.
constexpr float startValue = 0.3f;
constexpr float linearEnd = startValue + 0.25f;  // (100 right - 50 down) / 200 pixels for the whole range
constexpr float circularPress = 0.5f;            // straight above the centre
constexpr float circularEnd = 0.8990f;           // (121, 53) lies 107.7 degrees clockwise of straight up
constexpr float onePixel = 0.005f;

class KnobDragModeTest : public HostedEditorFixture {
protected:
    void SetUp() override {
        HostedEditorFixture::SetUp();
        if (HasFatalFailure()) return;
        host->setParameter(7, startValue);
        ASSERT_NO_FATAL_FAILURE(openEditor());
        host->clearRequests();
    }
    void TearDown() override {
        // The knob mode belongs to the process: the tests after this one drag circularly.
        if (host) host->dispatch(effSetEditKnobMode, 0, 0);
        HostedEditorFixture::TearDown();
    }
    void setKnobMode(VstIntPtr mode) { ASSERT_EQ(host->dispatch(effSetEditKnobMode, 0, mode), 1); }
    DragRecord dragDownRight(WORD modifier = 0) { return dragKnob(7, {21, 3, modifier}, {{121, 53}}); }

    // The automations of the drag lie between one begin edit and one end edit; the knob shows the last.
    void expectOneGestureEndingAt(float value) {
        const std::vector<HostRequest> gesture = editRequestsOf(7);
        ASSERT_GE(gesture.size(), 3u);
        EXPECT_EQ(gesture.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(gesture.back().opcode, audioMasterEndEdit);
        for (size_t i = 1; i + 1 < gesture.size(); ++i)
            EXPECT_EQ(gesture[i].opcode, audioMasterAutomate) << i;
        EXPECT_NEAR(gesture[gesture.size() - 2].opt, value, onePixel);
        EXPECT_NEAR(host->getParameter(7), value, onePixel);
        idle();
        EXPECT_EQ(knobDiffers(capture(), 7, host->getParameter(7)), "");
    }
};

TEST_F(KnobDragModeTest, KnobModeTwoDragsLinearly) {
    ASSERT_NO_FATAL_FAILURE(setKnobMode(2));
    const DragRecord drag = dragDownRight();
    ASSERT_EQ(drag.failure, "");
    expectOneGestureEndingAt(linearEnd);
}

TEST_F(KnobDragModeTest, AltInKnobModeTwoDragsCircularly) {
    ASSERT_NO_FATAL_FAILURE(setKnobMode(2));
    const DragRecord drag = dragDownRight(VK_MENU);
    ASSERT_EQ(drag.failure, "");
    const std::vector<HostRequest> gesture = editRequestsOf(7);
    ASSERT_GE(gesture.size(), 2u);
    EXPECT_NEAR(gesture[1].opt, circularPress, onePixel)
        << "the press should turn the knob to where it points";
    expectOneGestureEndingAt(circularEnd);
}

TEST_F(KnobDragModeTest, AltInKnobModeZeroDragsLinearly) {
    ASSERT_NO_FATAL_FAILURE(setKnobMode(0));
    const DragRecord drag = dragDownRight(VK_MENU);
    ASSERT_EQ(drag.failure, "");
    expectOneGestureEndingAt(linearEnd);
}

TEST_F(KnobDragModeTest, ShiftHalfwayThroughALinearDragSlowsItWithoutAJump) {
    ASSERT_NO_FATAL_FAILURE(setKnobMode(2));
    // Under Wine's X11 desktop every cursor move inside the host window makes X re-enter it, and Wine then
    // lifts the keys X does not see pressed; above the window the moves leave Shift down. The host window
    // goes down to make room.
    SetWindowPos(parent, nullptr, 40, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    idle();
    // 70 pixels up at 1/200, Shift, one pixel more, then 60 pixels at 1/300.
    const DragRecord drag = dragKnob(7, {21, 30}, {{21, -40}, {21, -41, VK_SHIFT}, {21, -101}});
    ASSERT_EQ(drag.failure, "");
    ASSERT_EQ(drag.automated.size(), 3u);
    EXPECT_NEAR(drag.automated[0], startValue + 0.35f, onePixel);
    EXPECT_NEAR(drag.automated[1], drag.automated[0], 2 * onePixel) << "the value jumped when Shift went down";
    EXPECT_NEAR(drag.automated[2], drag.automated[1] + 60.0f / 300.0f, onePixel);
    expectOneGestureEndingAt(drag.automated[2]);
}

}  // namespace
