// Faders: geometry, the offscreen picture, free-click and grab-point drags, fine adjustment, reset, wheel, keys.
#include <gtest/gtest.h>

#include "gui/controls/VerticalFader.h"
#include "gui/core/OffscreenSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/controls/ControlHarness.h"

namespace {

// The toolkit's example fader, handle offset (1, 0), at 0.5.
struct FaderRig {
    explicit FaderRig(int32_t scale = uiscale::kUnit) : harness(UiRect{0, 0, 60, 200}, scale) {
        fader = makeExampleFader(&listener);
        fader->setHandleOffset({1, 0});
        fader->setValue(0.5f);
        fader->setDirty(false);
        harness.window->addChild(fader);
        harness.child()->paint();
        RecordingHost::instance().requests.clear();
    }

    const UiRect bounds{18, 10, 34, 170};
    EditorHarness harness;
    DrawingListener listener;
    VerticalFader* fader = nullptr;
};

TEST(FaderTest, GeometryFollowsTheTravelAndTheHandleOffset) {
    FaderRig rig;
    EXPECT_EQ(rig.fader->getStyle(), FaderMinBottom | FaderVertical);
    EXPECT_EQ(rig.fader->getTravel(), 147);
    EXPECT_EQ(rig.fader->getMinPosition(), 0);
    EXPECT_EQ(rig.fader->getTravelStart(), 0);
    EXPECT_EQ(rig.fader->getTravelEnd(), 159);

    struct Case {
        float value;
        int32_t top;
    };
    for (Case c : {Case{1.0f, 0}, Case{0.0f, 147}, Case{0.5f, 73}}) {
        rig.fader->setValue(c.value);
        const UiRect h = rig.fader->handleRect(true);
        EXPECT_EQ(h.top, c.top) << c.value;
        EXPECT_EQ(h.bottom, c.top + 12) << c.value;
        EXPECT_EQ(h.left, 1);
        EXPECT_EQ(h.right, 15);
    }
    // Beyond the range the limits hold the handle inside the travel.
    rig.fader->setValue(-0.5f);
    EXPECT_EQ(rig.fader->handleRect(true).bottom, 159);
    rig.fader->setValue(1.5f);
    EXPECT_EQ(rig.fader->handleRect(true).top, 0);
}

TEST(FaderTest, DrawsTrackAndTransparentHandleInOneCopy) {
    const BmpImage track = resourceImage(129);
    const BmpImage handle = resourceImage(130);
    ASSERT_TRUE(track.error.empty() && handle.error.empty());
    FaderRig rig;
    rig.fader->setValue(0.0f);
    rig.harness.window->idle();
    HeadlessWindow* child = rig.harness.child();
    int wrong = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint32_t expected = track.at(x, y);
            const int hx = x - 1, hy = y - 147;  // handle at columns 1..14, rows 147..158
            if (hx >= 0 && hx < 14 && hy >= 0 && hy < 12 && handle.at(hx, hy) != 0xFFFFFF) expected = handle.at(hx, hy);
            if (rgbOf(child->pixel(18 + x, 10 + y)) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// The fader's device pixels at 200 %.
std::vector<uint32_t> faderPixelsAt200(FaderRig& rig) {
    rig.fader->setValue(0.25f);
    rig.harness.window->redrawWidget(nullptr);
    rig.harness.child()->paint();
    std::vector<uint32_t> pixels;
    for (int y = 20; y < 340; ++y)
        for (int x = 36; x < 68; ++x) pixels.push_back(rgbOf(rig.harness.child()->pixel(x, y)));
    return pixels;
}

TEST(FaderTest, AfterAScaleChangeItDrawsAsInAWindowOpenedAtTheNewScale) {
    FaderRig opened(200);
    const std::vector<uint32_t> expected = faderPixelsAt200(opened);
    FaderRig changed;
    ASSERT_TRUE(changed.harness.window->setScale(200));
    EXPECT_EQ(changed.fader->getOffscreen()->deviceWidth(), 32);
    EXPECT_TRUE(faderPixelsAt200(changed) == expected);
}

TEST(FaderTest, FreeClickPutsTheHandleMiddleUnderTheCursor) {
    FaderRig rig;
    scriptClick(rig.harness.child(), {25, 100});
    EXPECT_NEAR(rig.fader->getValue(), 1.0f - 85.0f / 147.0f, 1e-6);  // 0.4218
    EXPECT_NEAR(rig.fader->getValue(), 0.4218f, 5e-5);
    EXPECT_EQ(rig.harness.requests(audioMasterBeginEdit), std::vector<VstInt32>{1});
    EXPECT_EQ(rig.harness.requests(audioMasterEndEdit), std::vector<VstInt32>{1});
    EXPECT_EQ(rig.harness.window->getFocusWidget(), rig.fader);
}

TEST(FaderTest, ShiftMovesATenthOfTheCursorFromTheAnchor) {
    FaderRig rig;
    scriptDrag(rig.harness.child(), {{25, 160}, {25, 13}}, KeyShift);
    const std::vector<float>& v = rig.listener.values;
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NEAR(v[1] - v[0], 0.1f, 1e-5);
    EXPECT_NEAR(v[0], 0.5f + (1.0f - 145.0f / 147.0f - 0.5f) / 10.0f, 1e-6);

    // Released Shift: the value returns to the cursor's own position.
    const UiPoint origin = rig.harness.child()->screenOrigin();
    ScriptedInput& input = ScriptedInput::instance();
    input.setState(0, {0, 0});
    input.press({origin.h + 25, origin.v + 100}, KeyShift).hold(3).moveTo({origin.h + 25, origin.v + 90});
    input.setModifiers(0).moveTo({origin.h + 25, origin.v + 80}).release();
    rig.harness.child()->mouseDown(MouseLeft, {25, 100});
    EXPECT_NEAR(rig.fader->getValue(), 1.0f - 65.0f / 147.0f, 1e-6);
}

TEST(FaderTest, WithoutFreeClickOnlyTheHandleStartsADragAndKeepsTheGrabPoint) {
    FaderRig rig;
    rig.fader->setFreeClick(false);
    // Value 0.5: handle rows 83..94 of the window.
    scriptClick(rig.harness.child(), {25, 82});
    EXPECT_EQ(rig.fader->getValue(), 0.5f);
    EXPECT_TRUE(rig.harness.requests(audioMasterBeginEdit).empty());

    scriptDrag(rig.harness.child(), {{25, 94}, {25, 104}});
    ASSERT_EQ(rig.listener.values.size(), 2u);
    EXPECT_NEAR(rig.listener.values[0], 1.0f - 73.0f / 147.0f, 1e-6);  // the handle stays where it was drawn
    EXPECT_NEAR(rig.listener.values[1], 1.0f - 83.0f / 147.0f, 1e-6);
    EXPECT_EQ(rig.harness.requests(audioMasterBeginEdit).size(), 1u);
}

// Drags that run far past either end of the track stop at the ends of the range, by polling or by
// events, fine-adjusted or not, for the vertical fader and a horizontal one with its minimum on either
// side; the wheel and the keys do not push it past an end either.
TEST(FaderTest, DragsBeyondTheEndsStayClamped) {
    struct Case {
        int32_t style;
        UiPoint press, beyondMax, beyondMin;
    };
    const Case cases[] = {
        {FaderMinBottom, {25, 100}, {25, -3000}, {25, 3000}},
        {FaderHorizontal | FaderMinLeft, {100, 105}, {3000, 105}, {-3000, 105}},
        {FaderHorizontal | FaderMinRight, {100, 105}, {-3000, 105}, {3000, 105}},
    };
    for (const Case& c : cases)
        for (bool events : {false, true})
            for (int32_t modifiers : {0, int32_t(KeyShift)}) {
                SCOPED_TRACE(testing::Message() << "style " << c.style << (events ? ", events" : ", polled")
                                                << (modifiers ? ", Shift" : ""));
                EditorHarness harness(UiRect{0, 0, 300, 200});
                HeadlessSystem::dragEvents = events;
                DrawingListener listener;
                Fader* fader = makeExampleFader(&listener);
                if (c.style != FaderMinBottom) {
                    fader->release();
                    Pixmap* handle = new Pixmap(130);
                    fader = new Fader(UiRect{20, 100, 180, 112}, &listener, 1, 20, 167, handle, nullptr, {0, 0},
                                      c.style);
                    handle->release();
                }
                fader->setValue(0.5f);
                fader->setDirty(false);
                harness.window->addChild(fader);
                harness.child()->paint();
                scriptDrag(harness.child(), {c.press, c.beyondMax, c.beyondMin, c.beyondMax}, modifiers);
                HeadlessSystem::dragEvents = false;
                ASSERT_GE(listener.values.size(), 2u);
                for (float v : listener.values) {
                    EXPECT_GE(v, 0.0f);
                    EXPECT_LE(v, 1.0f);
                }
                EXPECT_EQ(fader->getValue(), 1.0f);
                EXPECT_EQ(harness.requests(audioMasterEndEdit), std::vector<VstInt32>{1});

                DrawSurface surface(harness.window, nullptr, nullptr);
                ScriptedInput::instance().setState(0, {0, 0});
                fader->onWheel(&surface, {0, 0}, 3.0f);
                UiKey up{0, UiKeyName::Up, false};
                fader->onKeyDown(up);
                EXPECT_EQ(fader->getValue(), 1.0f);
                fader->setValue(0.0f);
                fader->onWheel(&surface, {0, 0}, -3.0f);
                UiKey down{0, UiKeyName::Down, false};
                fader->onKeyDown(down);
                EXPECT_EQ(fader->getValue(), 0.0f);
            }
}

TEST(FaderTest, ControlClickWheelAndKeys) {
    FaderRig rig;
    rig.fader->setValue(0.9f);
    rig.fader->setDirty(false);
    scriptClick(rig.harness.child(), {25, 40}, KeyControl);
    EXPECT_EQ(rig.fader->getValue(), 0.5f);
    EXPECT_TRUE(rig.harness.requests(audioMasterBeginEdit).empty());

    DrawSurface surface(rig.harness.window, nullptr, nullptr);
    ScriptedInput::instance().setState(KeyShift, {0, 0});
    EXPECT_TRUE(rig.fader->onWheel(&surface, {0, 0}, 2.0f));
    EXPECT_NEAR(rig.fader->getValue(), 0.52f, 1e-6);
    UiKey key{0, UiKeyName::Down, false};
    EXPECT_EQ(rig.fader->onKeyDown(key), 1);
    EXPECT_NEAR(rig.fader->getValue(), 0.42f, 1e-6);
    key.name = UiKeyName::Other;
    EXPECT_EQ(rig.fader->onKeyDown(key), -1);
}

TEST(FaderTest, HasAnOffscreenBufferOnlyWhileAttached) {
    FaderRig rig;
    ASSERT_NE(rig.fader->getOffscreen(), nullptr);
    EXPECT_EQ(rig.fader->getOffscreen()->getWidth(), 16);
    EXPECT_EQ(rig.fader->getOffscreen()->getHeight(), 160);
    rig.fader->retain();
    rig.harness.window->removeChild(rig.fader, true);
    EXPECT_EQ(rig.fader->getOffscreen(), nullptr);
    rig.fader->draw(nullptr);  // detached: nothing to draw with, nothing breaks
    EXPECT_FALSE(rig.fader->isDirty());
    rig.fader->release();
}

}  // namespace
