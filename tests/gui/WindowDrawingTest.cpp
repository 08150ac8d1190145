// Drawing passes of the plug-in window: nothing before the first paint, then only what is dirty.
#include <gtest/gtest.h>

#include "gui/core/WidgetGroup.h"
#include "tests/gui/EditorHarness.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using Log = std::vector<std::string>;

TEST(WindowDrawingTest, IdleWaitsForTheFirstPaintThenRedrawsOnlyDirtyWidgets) {
    Log log;  // outlives the harness, whose window tells the widgets they are removed
    EditorHarness harness;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    auto* b = new ProbeWidget({20, 0, 30, 10}, "b", &log);
    auto* far = new ProbeWidget({200, 50, 210, 60}, "far", &log);
    harness.window->addChild(a);
    harness.window->addChild(b);
    harness.window->addChild(far);
    a->setDirty(true);
    log.clear();

    harness.window->idle();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(harness.window->isFirstDrawPending());

    harness.child()->paint();
    EXPECT_EQ(log, (Log{"a: draw", "b: draw", "far: draw"}));
    EXPECT_FALSE(harness.window->isFirstDrawPending());

    log.clear();
    harness.window->idle();  // all clean now
    EXPECT_TRUE(log.empty());

    b->setDirty(true);
    harness.window->idle();
    EXPECT_EQ(log, (Log{"b: draw"}));

    log.clear();
    harness.child()->paint({0, 0, 40, 40});  // only what the paint area touches
    EXPECT_EQ(log, (Log{"a: draw", "b: draw"}));

    log.clear();
    harness.window->redrawWidget(far);
    harness.window->redrawWidget(nullptr);
    EXPECT_EQ(log, (Log{"far: draw", "a: draw", "b: draw", "far: draw"}));
}

// A modal widget alone takes the update pass; the window's own flag redraws every child at once.
TEST(WindowDrawingTest, ModalWidgetAloneIsUpdatedAndTheWindowFlagRedrawsAll) {
    Log log;  // outlives the harness, whose window tells the widgets they are removed
    EditorHarness harness;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    ProbeWidget modal({50, 0, 60, 10}, "modal", &log);
    harness.window->addChild(a);
    harness.child()->paint();
    ASSERT_TRUE(harness.window->setModalWidget(&modal));
    log.clear();

    a->setDirty(true);
    harness.window->idle();  // the modal widget keeps the pass running but is clean itself
    EXPECT_TRUE(log.empty());
    modal.setDirty(true);
    harness.window->idle();
    EXPECT_EQ(log, (Log{"modal: draw"}));

    harness.window->setModalWidget(nullptr);
    log.clear();
    a->setDirty(false);
    harness.window->setDirty(true);
    harness.window->idle();
    EXPECT_EQ(log, (Log{"a: draw"}));
    EXPECT_FALSE(harness.window->isAnythingDirty());
}

TEST(WindowDrawingTest, HostIdleOfTheEditorRunsTheWindowPass) {
    EditorHarness harness;
    auto* control = new DragControl({0, 0, 10, 10}, nullptr, 0);
    harness.window->addChild(control);
    harness.child()->paint();
    EXPECT_EQ(control->draws, 1);
    control->setValue(0.5f);
    dispatch(harness.effect->record(), effEditIdle);
    EXPECT_EQ(control->draws, 2);
    dispatch(harness.effect->record(), effEditIdle);
    EXPECT_EQ(control->draws, 2);
}

TEST(WindowDrawingTest, NothingIsDrawnAfterTheHostDestroyedTheWindow) {
    Log log;  // outlives the harness, whose window tells the widgets they are removed
    EditorHarness harness;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    harness.window->addChild(a);
    harness.child()->paint();
    log.clear();
    harness.host.reset();  // the host destroys its window and with it the child window
    EXPECT_FALSE(harness.window->isOpen());
    a->setDirty(true);
    harness.window->idle();
    EXPECT_TRUE(log.empty());
}

TEST(WindowDrawingTest, DoubleBufferedGroupReachesTheWindowInOneBlit) {
    EditorHarness harness;
    auto* group = new WidgetGroup({10, 10, 50, 40}, harness.window, nullptr);
    group->setBackgroundColour(colourRed);
    harness.window->addChild(group);
    harness.child()->paint();
    HeadlessWindow* child = harness.child();
    // The fill leaves the buffer's top row and left column in its black background.
    EXPECT_EQ(child->pixel(11, 11), colourRed);
    EXPECT_EQ(child->pixel(49, 39), colourRed);
    EXPECT_EQ(child->pixel(10, 20), colourBlack);
    EXPECT_EQ(child->pixel(20, 10), colourBlack);
    EXPECT_NE(child->pixel(50, 20), colourRed);
    EXPECT_NE(child->pixel(5, 5), colourRed);
}

}  // namespace
