// A control's mouse loop driven to completion by scripted buttons, modifiers, cursor and clock.
#include "tests/cairo/HeadlessFixture.h"

#include "gui/core/Platform.h"

#include <vector>

namespace {

// Follows the mouse like the toolkit's controls: polls until the primary button is up.
class TrackingWidget : public Widget {
public:
    explicit TrackingWidget(const UiRect& bounds) : Widget(bounds) {}
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override {
        downAt = where;
        firstButtons = surface->getMouseButtons();
        if (!(firstButtons & MouseLeft)) return;
        for (;;) {
            const int32_t buttons = surface->getMouseButtons();
            if (!(buttons & MouseLeft)) break;
            UiPoint p;
            surface->getMousePosition(p);
            path.push_back(p);
            seenButtons.push_back(buttons);
            platform::sleepFor(4);
        }
        ++gestures;
    }
    UiPoint downAt;
    int32_t firstButtons = 0;
    std::vector<UiPoint> path;
    std::vector<int32_t> seenButtons;
    int32_t gestures = 0;
};

}  // namespace

class ScriptedInputTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        tracker = new TrackingWidget(UiRect{10, 10, 60, 60});
        window->addChild(tracker);
    }
    TrackingWidget* tracker = nullptr;
};

TEST_F(ScriptedInputTest, ADragWithShiftRunsThroughItsStepsAndEnds) {
    ScriptedInput& input = ScriptedInput::instance();
    const uint32_t start = input.ticks();
    child->drag({UiPoint{20, 20}, UiPoint{30, 25}, UiPoint{40, 50}}, KeyShift);

    EXPECT_EQ(tracker->gestures, 1);
    EXPECT_EQ(tracker->downAt.h, 20);
    EXPECT_EQ(tracker->firstButtons, MouseLeft | KeyShift);
    // Window coordinates: the host frame sits at (200, 100) on the screen.
    ASSERT_FALSE(tracker->path.empty());
    EXPECT_EQ(tracker->path.back().h, 40);
    EXPECT_EQ(tracker->path.back().v, 50);
    for (int32_t buttons : tracker->seenButtons) EXPECT_EQ(buttons, MouseLeft | KeyShift);
    EXPECT_TRUE(input.scriptDone());
    // Each turn of the loop slept 4 ms of the scripted clock.
    EXPECT_EQ(input.ticks() - start, 4u * tracker->path.size());
}

TEST_F(ScriptedInputTest, StepsCanBeHeldAndModifiersChangeMidway) {
    ScriptedInput& input = ScriptedInput::instance();
    input.press(UiPoint{230, 130}).hold(3).setModifiers(KeyControl).moveTo(UiPoint{240, 140}).release();
    child->mouseDown(MouseLeft, UiPoint{30, 30});
    // Polls: router, the control's first check and the loop's first turn see the press; then the
    // control step, the moved step, the release.
    ASSERT_EQ(tracker->seenButtons.size(), 3u);
    EXPECT_EQ(tracker->seenButtons[0], MouseLeft);
    EXPECT_EQ(tracker->seenButtons[1], MouseLeft | KeyControl);
    EXPECT_EQ(tracker->path[2].h, 40);
}

TEST_F(ScriptedInputTest, AClickEndsAtOnceAndSwappedButtonsAreReadAtRegistration) {
    child->click(UiPoint{30, 30});
    EXPECT_EQ(tracker->gestures, 1);
    EXPECT_TRUE(tracker->path.empty());

    // Buttons swap when the class is registered: this window registered before the setting changed.
    ScriptedInput::instance().setSwapButtons(true);
    ScriptedInput::instance().setState(MouseRight | KeyControl, UiPoint{});
    EXPECT_EQ(surface->getMouseButtons(), MouseRight | KeyControl);

    // A first window of the class reads the new setting: the physical right button is primary.
    surface.reset();
    DeviceContext::release(context);
    context = nullptr;
    delete window;
    window = new PluginWindow(UiRect{0, 0, 120, 80}, host->handle(), nullptr);
    EXPECT_TRUE(HeadlessSystem::buttonsSwapped);
    HeadlessWindow* second = HeadlessWindow::fromHandle(window->getChildWindow());
    context = DeviceContext::forWindow(second);
    surface = std::make_unique<DrawSurface>(window, context, second);
    EXPECT_EQ(surface->getMouseButtons(), MouseLeft | KeyControl);
    ScriptedInput::instance().setSwapButtons(false);
}

TEST_F(ScriptedInputTest, AHeldButtonWithoutAReleaseIsLetGoInTheEnd) {
    ScriptedInput& input = ScriptedInput::instance();
    input.press(UiPoint{220, 120});
    child->mouseDown(MouseLeft, UiPoint{20, 20});
    EXPECT_EQ(tracker->gestures, 1);
    EXPECT_TRUE(input.runawayReleased());
}

TEST_F(ScriptedInputTest, TheClockFollowsSleepsAndWaits) {
    ScriptedInput& input = ScriptedInput::instance();
    input.reset(5000);
    EXPECT_EQ(platform::getTicks(), 5000u);
    platform::sleepFor(4);
    EXPECT_EQ(platform::getTicks(), 5004u);
    input.press(UiPoint{0, 0}).moveTo(UiPoint{1, 1}).wait(100).release();
    input.pollButtons();  // the press lasts two polls
    input.pollButtons();
    EXPECT_EQ(platform::getTicks(), 5104u);  // the moved step has become current, with its wait
    EXPECT_EQ(input.sleepCount(), 1u);
    EXPECT_EQ(platform::getDoubleClickTime(), 500u);
}
