// Mouse, key and drop routing of the plug-in window, its child array and the lifetime of what it holds.
#include <gtest/gtest.h>

#include "gui/core/Pixmap.h"
#include "gui/platform/cairo/ScriptedInput.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

using Log = std::vector<std::string>;

// Exposes the capacity of the child array.
class InspectWindow : public PluginWindow {
public:
    InspectWindow() : PluginWindow(UiRect{0, 0, 400, 200}, NativeHandle(nullptr), nullptr) {}
    int32_t capacity() const { return childCapacity; }
};

class PluginWindowRoutingTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptedInput::instance().reset(); }
    void press(UiPoint where) { ScriptedInput::instance().setState(MouseLeft, where); }

    Log log;
    int alive = 0;
};

TEST_F(PluginWindowRoutingTest, ClickReachesTopmostEnabledChildAfterFocusIsLost) {
    {
        InspectWindow window;
        auto* a = new ProbeWidget({0, 0, 50, 50}, "a", &log, &alive);
        auto* b = new ProbeWidget({20, 20, 70, 70}, "b", &log, &alive);
        auto* off = new ProbeWidget({0, 0, 100, 100}, "off", &log, &alive);
        off->setMouseEnabled(false);
        window.addChild(a);
        window.addChild(b);
        window.addChild(off);
        window.setFocusWidget(a);
        log.clear();

        DrawSurface surface(&window, nullptr, nullptr);
        press({30, 30});
        window.onMouseDown(&surface, {30, 30});
        EXPECT_EQ(log, (Log{"a: loseFocus", "b: mouse 30,30"}));
        EXPECT_EQ(window.getFocusWidget(), nullptr);

        log.clear();
        window.onMouseDown(&surface, {70, 70});  // right and bottom edges belong to the widget
        window.onMouseDown(&surface, {71, 71});
        window.onMouseDown(&surface, {5, 5});
        EXPECT_EQ(log, (Log{"b: mouse 70,70", "a: mouse 5,5"}));
    }
    EXPECT_EQ(alive, 0);
}

TEST_F(PluginWindowRoutingTest, ModalWidgetTakesEveryClickAndIsReplacedOnlyAfterClearing) {
    InspectWindow window;
    auto* child = new ProbeWidget({0, 0, 100, 100}, "child", &log, &alive);
    window.addChild(child);
    ProbeWidget modal({200, 100, 220, 120}, "modal", &log);
    ProbeWidget other({0, 0, 10, 10}, "other", &log);

    ASSERT_TRUE(window.setModalWidget(&modal));
    EXPECT_FALSE(window.setModalWidget(&other));
    EXPECT_EQ(window.getModalWidget(), &modal);
    log.clear();

    DrawSurface surface(&window, nullptr, nullptr);
    press({50, 50});
    window.onMouseDown(&surface, {50, 50});  // over the child, outside the modal widget
    window.onMouseDown(&surface, {210, 110});
    EXPECT_EQ(log, (Log{"modal: mouse 210,110"}));
    EXPECT_TRUE(window.isAnythingDirty());  // a modal widget keeps the idle pass running

    log.clear();
    EXPECT_TRUE(window.setModalWidget(nullptr));
    EXPECT_TRUE(window.setModalWidget(&other));
    EXPECT_EQ(log, (Log{"modal: removed", "other: attached"}));
    window.setModalWidget(nullptr);
}

TEST_F(PluginWindowRoutingTest, KeysGoToFocusThenModalThenChildrenFromTheLast) {
    InspectWindow window;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log);
    auto* b = new ProbeWidget({0, 0, 10, 10}, "b", &log);
    ProbeWidget focus({0, 0, 10, 10}, "focus", &log);
    ProbeWidget modal({0, 0, 10, 10}, "modal", &log);
    window.addChild(a);
    window.addChild(b);
    window.setFocusWidget(&focus);
    window.setModalWidget(&modal);
    const UiKey key{0, UiKeyName::Up, false};
    log.clear();

    EXPECT_EQ(window.onKeyDown(key), -1);
    EXPECT_EQ(log, (Log{"focus: key", "modal: key", "b: key", "a: key"}));

    log.clear();
    a->keyAnswer = 7;
    EXPECT_EQ(window.onKeyUp(key), 7);
    EXPECT_EQ(log, (Log{"focus: keyup", "modal: keyup", "b: keyup", "a: keyup"}));

    log.clear();
    modal.keyAnswer = 0;  // 0 counts as handled
    EXPECT_EQ(window.onKeyDown(key), 0);
    EXPECT_EQ(log, (Log{"focus: key", "modal: key"}));

    window.setModalWidget(nullptr);
    window.setFocusWidget(nullptr);
}

TEST_F(PluginWindowRoutingTest, DropsAreRefusedWhileFocusedAndTriedFromTheTopmost) {
    InspectWindow window;
    auto* under = new ProbeWidget({0, 0, 100, 100}, "under", &log);
    auto* over = new ProbeWidget({50, 50, 100, 100}, "over", &log);
    window.addChild(under);
    window.addChild(over);
    const char* items[] = {"C:\\a.wav"};

    window.setFocusWidget(under);
    log.clear();
    EXPECT_FALSE(window.onDrop(items, 1, DropFiles, {60, 60}));
    EXPECT_TRUE(log.empty());

    window.setFocusWidget(nullptr);
    log.clear();
    under->acceptsDrop = true;
    EXPECT_TRUE(window.onDrop(items, 1, DropFiles, {100, 100}));  // edges inclusive
    EXPECT_EQ(log, (Log{"over: drop 100,100", "under: drop 100,100"}));

    // A mouse-disabled child is asked neither whether it takes a drop nor to take one: over it the drop
    // goes to no one, and over it and another the other is asked alone.
    auto* off = new ProbeWidget({90, 90, 200, 200}, "off", &log);
    off->acceptsDrop = true;
    off->setMouseEnabled(false);
    window.addChild(off);
    log.clear();
    EXPECT_FALSE(window.onDrop(items, 1, DropFiles, {150, 150}));
    EXPECT_FALSE(window.acceptsDrop(DropFiles, {150, 150}));
    EXPECT_TRUE(log.empty());
    under->acceptsDrop = false;
    EXPECT_FALSE(window.onDrop(items, 1, DropFiles, {95, 95}));
    EXPECT_EQ(log, (Log{"over: drop 95,95", "under: drop 95,95"}));
}

TEST_F(PluginWindowRoutingTest, ChildArrayGrowsInStepsOfTwentyAndKeepsOrder) {
    InspectWindow window;
    std::vector<Widget*> added;
    for (int i = 0; i < 45; ++i) {
        added.push_back(new ProbeWidget({i, 0, i + 1, 1}, "w", nullptr, &alive));
        ASSERT_TRUE(window.addChild(added.back()));
        if (i == 19) {
            EXPECT_EQ(window.capacity(), 20);
        }
        if (i == 20) {
            EXPECT_EQ(window.capacity(), 40);  // the 21st child
        }
    }
    EXPECT_EQ(window.capacity(), 60);
    ASSERT_EQ(window.getChildCount(), 45);
    for (int i = 0; i < 45; ++i) EXPECT_EQ(window.getChild(i), added[i]) << i;
    EXPECT_EQ(window.getChild(45), nullptr);
    EXPECT_EQ(window.getChild(-1), nullptr);
    EXPECT_FALSE(window.addChild(nullptr));
    EXPECT_EQ(window.getChildCount(), 45);

    // Removing moves the later entries down; releasing the last reference deletes the widget.
    window.removeChild(added[3], true);
    EXPECT_EQ(alive, 44);
    EXPECT_EQ(window.getChild(3), added[4]);
    EXPECT_EQ(window.getChildCount(), 44);
    EXPECT_TRUE(window.removeChild(added[3], true));  // not a child any more: still true, nothing happens

    window.removeAllChildren(true);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(window.getChildCount(), 0);
    EXPECT_EQ(window.capacity(), 0);
}

TEST_F(PluginWindowRoutingTest, DestructionReleasesEachChildOnceAndTheBackground) {
    auto* kept = new ProbeWidget({0, 0, 10, 10}, "kept", &log, &alive);
    auto* twice = new ProbeWidget({0, 0, 10, 10}, "twice", &log, &alive);
    auto* background = new Pixmap(30999);  // no such resource: no bitmap, counted all the same
    kept->retain();
    {
        InspectWindow window;
        window.addChild(kept);
        EXPECT_EQ(kept->getRetainCount(), 2);  // the window does not retain
        window.addChild(new ProbeWidget({0, 0, 10, 10}, "plain", &log, &alive));
        window.addChild(twice);
        window.addChild(twice);  // listed twice, still one owner reference to drop
        window.setBackground(background);
        window.setBackground(background);  // the same pixmap again keeps it alive
        EXPECT_EQ(background->getRetainCount(), 2);
        window.setFocusWidget(kept);
        log.clear();
    }
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(kept->getRetainCount(), 1);
    EXPECT_EQ(log.front(), "kept: loseFocus");
    EXPECT_EQ(background->getRetainCount(), 1);
    background->release();
    kept->release();
    EXPECT_EQ(alive, 0);
}

TEST_F(PluginWindowRoutingTest, RemovingTheFocusWidgetClearsTheFocus) {
    InspectWindow window;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", &log, &alive);
    window.addChild(a);
    window.setFocusWidget(a);
    window.removeChild(a, true);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(window.getFocusWidget(), nullptr);
    DrawSurface surface(&window, nullptr, nullptr);
    window.onMouseDown(&surface, {5, 5});  // would touch the deleted widget otherwise
}

TEST_F(PluginWindowRoutingTest, InvalidateMarksOverlappingChildrenOnly) {
    InspectWindow window;
    auto* a = new ProbeWidget({0, 0, 10, 10}, "a", nullptr);
    auto* b = new ProbeWidget({30, 0, 40, 10}, "b", nullptr);
    window.addChild(a);
    window.addChild(b);
    EXPECT_FALSE(window.isAnythingDirty());
    window.invalidate({10, 10, 20, 20});  // touches a's corner
    EXPECT_TRUE(a->isDirty());
    EXPECT_FALSE(b->isDirty());
    EXPECT_TRUE(window.isAnythingDirty());
}

}  // namespace
