// Widget groups: local coordinates with the surface origin restored, routing, references, update modes.
#include <gtest/gtest.h>

#include <cstring>

#include "gui/core/OffscreenSurface.h"
#include "gui/core/WidgetGroup.h"
#include "gui/platform/cairo/ScriptedInput.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using Log = std::vector<std::string>;

class WidgetGroupTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptedInput::instance().reset(); }

    Log log;  // declared first: outlives the window, which tells its widgets they are removed
    int alive = 0;
    PluginWindow window{UiRect{0, 0, 400, 200}, NativeHandle(nullptr), nullptr};
};

TEST_F(WidgetGroupTest, ChildrenDrawAndClickInGroupCoordinatesAndTheOriginComesBack) {
    auto* outer = new WidgetGroup({100, 50, 300, 150}, &window, nullptr);
    auto* inner = new WidgetGroup({20, 10, 120, 90}, &window, nullptr);
    outer->setDoubleBuffered(false);
    inner->setDoubleBuffered(false);
    auto* child = new ProbeWidget({10, 10, 40, 40}, "child", &log);
    auto* deep = new ProbeWidget({5, 5, 15, 15}, "deep", &log);
    outer->addChild(child);
    outer->addChild(inner);
    inner->addChild(deep);
    window.addChild(outer);

    DrawSurface surface(&window, nullptr, nullptr);
    surface.screenOrigin = {1000, 500};
    outer->draw(&surface);
    EXPECT_EQ(child->lastOffset.h, 100);
    EXPECT_EQ(child->lastOffset.v, 50);
    EXPECT_EQ(child->lastScreenOrigin.h, 1100);
    EXPECT_EQ(child->lastScreenOrigin.v, 550);
    EXPECT_EQ(deep->lastOffset.h, 120);  // nested groups add up
    EXPECT_EQ(deep->lastOffset.v, 60);
    EXPECT_EQ(surface.offset.h, 0);
    EXPECT_EQ(surface.offset.v, 0);
    EXPECT_EQ(surface.screenOrigin.h, 1000);
    EXPECT_EQ(surface.screenOrigin.v, 500);

    log.clear();
    ScriptedInput::instance().setState(MouseLeft, {0, 0});
    window.onMouseDown(&surface, {115, 65});  // (15, 15) inside the outer group
    window.onMouseDown(&surface, {128, 68});  // (28, 18) in the outer group, (8, 8) in the inner one
    EXPECT_EQ(log, (Log{"child: mouse 15,15", "deep: mouse 8,8"}));
    EXPECT_EQ(deep->lastOffset.h, 120);
    EXPECT_EQ(surface.offset.h, 0);
    EXPECT_EQ(surface.screenOrigin.v, 500);
}

TEST_F(WidgetGroupTest, OverlapClickGoesToTheLastAddedEnabledChild) {
    WidgetGroup group({0, 0, 100, 100}, &window, nullptr);
    auto* first = new ProbeWidget({0, 0, 50, 50}, "first", &log);
    auto* second = new ProbeWidget({40, 40, 90, 90}, "second", &log);
    group.addChild(first);
    group.addChild(second);
    ScriptedInput::instance().setState(MouseLeft, {0, 0});
    group.onMouseDown(nullptr, {45, 45});
    second->setMouseEnabled(false);
    group.onMouseDown(nullptr, {45, 45});
    EXPECT_EQ(log, (Log{"first: attached", "second: attached", "second: mouse 45,45", "first: mouse 45,45"}));
}

TEST_F(WidgetGroupTest, KeysDropsAndContainerMessage) {
    WidgetGroup group({10, 10, 110, 110}, &window, nullptr);
    auto* a = new ProbeWidget({0, 0, 50, 50}, "a", &log);
    auto* b = new ProbeWidget({0, 0, 50, 50}, "b", &log);
    group.addChild(a);
    group.addChild(b);
    log.clear();

    const UiKey key{'x', UiKeyName::Other, false};
    a->keyAnswer = 4;
    EXPECT_EQ(group.onKeyDown(key), 4);
    EXPECT_EQ(log, (Log{"b: key", "a: key"}));

    log.clear();
    b->setMouseArea({0, 0, 20, 20});
    a->acceptsDrop = true;
    const char* text[] = {"hello"};
    EXPECT_TRUE(group.onDrop(text, 6, DropText, {40, 40}));  // local (30, 30): outside b's mouse area
    EXPECT_EQ(log, (Log{"a: drop 30,30"}));
    // A mouse-disabled child takes no drop, nor does anyone in its place.
    b->setMouseArea({0, 0, 50, 50});
    b->acceptsDrop = true;
    b->setMouseEnabled(false);
    a->setMouseArea({0, 0, 20, 20});
    log.clear();
    EXPECT_FALSE(group.onDrop(text, 6, DropText, {40, 40}));
    EXPECT_FALSE(group.acceptsDrop(DropText, {40, 40}));
    EXPECT_TRUE(log.empty());

    char copy[64];
    std::strcpy(copy, kMsgCheckIfViewContainer);
    EXPECT_EQ(group.notify(a, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(group.notify(a, copy), 0);  // the same text at another address is another message
    EXPECT_EQ(a->notify(&group, kMsgCheckIfViewContainer), 0);
}

// The wheel reaches the last-added child whose mouse area holds the cursor, in group coordinates, from
// the window as from the group itself; a partial redraw draws only the children the clipped area touches.
TEST_F(WidgetGroupTest, WheelAndPartialRedrawUseGroupCoordinates) {
    auto* group = new WidgetGroup({100, 50, 300, 150}, &window, nullptr);
    group->setDoubleBuffered(false);
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    auto* b = new ProbeWidget({100, 50, 110, 60}, "b", &log);
    auto* over = new ProbeWidget({0, 0, 40, 40}, "over", &log);
    over->setMouseArea({20, 10, 40, 40});
    group->addChild(a);
    group->addChild(b);
    group->addChild(over);
    window.addChild(group);

    log.clear();
    ScriptedInput::instance().setCursor({105, 55});  // local (5, 5): outside over's mouse area
    EXPECT_TRUE(window.onWheel(nullptr, {0, 0}, 1.0f));
    ScriptedInput::instance().setCursor({130, 70});  // local (30, 20): over wins as the last added
    EXPECT_TRUE(group->onWheel(nullptr, {130, 70}, 1.0f));
    ScriptedInput::instance().setCursor({250, 140});  // inside the group, under no child
    EXPECT_FALSE(window.onWheel(nullptr, {0, 0}, 1.0f));
    EXPECT_EQ(log, (Log{"a: wheel 5,5", "over: wheel 30,20"}));

    log.clear();
    DrawSurface surface(&window, nullptr, nullptr);
    group->drawArea(&surface, {95, 45, 105, 55});  // clipped to the group: local (0, 0, 5, 5)
    EXPECT_EQ(log, (Log{"a: draw", "over: draw"}));
    EXPECT_EQ(a->lastOffset.h, 100);
    EXPECT_EQ(a->lastOffset.v, 50);
    EXPECT_EQ(surface.offset.h, 0);
    EXPECT_EQ(surface.offset.v, 0);
}

TEST_F(WidgetGroupTest, ReferencesAndChildList) {
    auto* group = new WidgetGroup({0, 0, 100, 100}, &window, nullptr);
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", nullptr, &alive);
    auto* b = new ProbeWidget({0, 0, 10, 10}, "b", nullptr, &alive);
    auto* c = new ProbeWidget({0, 0, 10, 10}, "c", nullptr, &alive);
    group->addChild(a);
    group->addChild(b);
    group->addChild(c);
    group->addChild(nullptr);
    EXPECT_EQ(a->getRetainCount(), 2);
    EXPECT_EQ(a->getParentGroup(), group);
    EXPECT_EQ(a->getWindow(), &window);
    EXPECT_TRUE(a->isDirty());
    EXPECT_EQ(group->getChildCount(), 3);
    EXPECT_EQ(group->getChild(2), c);
    EXPECT_EQ(group->getChild(3), nullptr);
    EXPECT_EQ(group->getChild(-1), nullptr);

    group->removeChild(b, false);  // the caller keeps its reference
    EXPECT_EQ(b->getRetainCount(), 1);
    EXPECT_FALSE(group->isChild(b));
    EXPECT_EQ(group->getChild(1), c);
    b->release();
    EXPECT_EQ(alive, 2);

    group->addChild(a);  // listed twice
    group->release();    // destruction releases a and c as their owner, once each
    EXPECT_EQ(alive, 0);
}

TEST_F(WidgetGroupTest, UpdateDirtyChildrenRedrawsOnlyWhatIsDirty) {
    WidgetGroup group({0, 0, 100, 100}, &window, nullptr);
    group.setDoubleBuffered(false);
    group.setUpdateMode(UpdateDirtyChildren);
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    auto* b = new ProbeWidget({20, 0, 30, 10}, "b", &log);
    group.addChild(a);
    group.addChild(b);
    DrawSurface surface(&window, nullptr, nullptr);
    group.draw(&surface);
    a->setDirty(false);
    b->setDirty(false);
    log.clear();

    group.update(&surface);  // all clean: nothing
    EXPECT_TRUE(log.empty());

    b->setDirty(true);
    group.update(&surface);
    EXPECT_EQ(log, (Log{"b: draw"}));
    EXPECT_FALSE(group.isDirty());

    log.clear();
    group.setDirty(true);  // the group's own flag redraws everything
    group.update(&surface);
    EXPECT_EQ(log, (Log{"a: draw", "b: draw"}));

    log.clear();
    group.setUpdateMode(UpdateWhole);
    a->setDirty(true);
    group.update(&surface);
    EXPECT_EQ(log, (Log{"a: draw", "b: draw"}));
    group.setUpdateMode(7);  // unknown mode: nothing
    a->setDirty(true);
    log.clear();
    group.update(&surface);
    EXPECT_TRUE(log.empty());
}

TEST_F(WidgetGroupTest, DoubleBufferedGroupComposesInItsBuffer) {
    WidgetGroup group({50, 20, 150, 120}, &window, nullptr);
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    group.addChild(a);
    EXPECT_EQ(group.getOffscreen(), nullptr);
    window.addChild(&group);  // attaching makes the buffer; the window holds no reference
    ASSERT_NE(group.getOffscreen(), nullptr);
    EXPECT_EQ(group.getOffscreen()->getWidth(), 100);

    DrawSurface surface(&window, nullptr, nullptr);
    group.draw(&surface);
    EXPECT_EQ(a->lastOffset.h, 0);  // drawn into the buffer, not moved on the window surface
    EXPECT_EQ(a->lastOffset.v, 0);

    group.setUpdateMode(UpdateDirtyChildren);
    log.clear();
    a->setDirty(true);
    group.update(&surface);
    EXPECT_EQ(log, (Log{"a: draw"}));

    group.setBounds({0, 0, 60, 40});
    ASSERT_NE(group.getOffscreen(), nullptr);
    EXPECT_EQ(group.getOffscreen()->getWidth(), 60);
    group.setDoubleBuffered(false);
    EXPECT_EQ(group.getOffscreen(), nullptr);
    window.removeChild(&group, false);
}

}  // namespace
