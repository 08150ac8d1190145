// Host frames around the editor: geometry, both resizing routes, and the standalone window.
#include <gtest/gtest.h>

#include <windows.h>

#include "GuiTestSupport.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/WindowClass.h"

namespace {

// desk (top level) > outer at (30, 20) > middle at (3, 3) > container at (5, 5) > the editor's child window.
// The outer frame is wider than middle by twice the dialog frame; middle is 10 pixels wider than container.
class HostFrameTest : public ::testing::Test {
protected:
    HostFrameTest() : desk(600, 400), border(2 * GetSystemMetrics(SM_CYDLGFRAME)) {
        TestHost::reset();
        outer = makeChildWindow(desk.handle(), 30, 20, 210 + border, 110 + border);
        middle = makeChildWindow(outer, 3, 3, 210, 110);
        container = makeChildWindow(middle, 5, 5, 200, 100);
        window = new PluginWindow(UiRect{0, 0, 200, 100}, container, plugin.editor);
        child = static_cast<HWND>(window->getChildWindow());
        pumpMessages();
    }
    ~HostFrameTest() override { delete window; }

    static void expectSize(HWND handle, int width, int height) {
        EXPECT_EQ(windowSize(handle).cx, width);
        EXPECT_EQ(windowSize(handle).cy, height);
    }

    TestPlugin plugin;
    ParentWindow desk;
    const int border;
    HWND outer, middle, container, child;
    PluginWindow* window;
};

TEST_F(HostFrameTest, FrameIsTheLastWindowThatStillHugsTheEditor) {
    ASSERT_GT(border, 0);
    EXPECT_EQ(window->findHostFrame(), outer);
    int32_t x = -1, y = -1;
    EXPECT_TRUE(window->getPosition(x, y));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 20);
    // The container's rectangle, placed in the coordinates of its parent's parent (outer).
    UiRect area;
    EXPECT_TRUE(window->getSize(area));
    EXPECT_EQ(area.left, 8);
    EXPECT_EQ(area.top, 8);
    EXPECT_EQ(area.right, 208);
    EXPECT_EQ(area.bottom, 108);
}

TEST_F(HostFrameTest, HostThatSizesWindowsGetsAskedAndOnlyTheChildWindowFollows) {
    TestHost::canSizeWindow = true;
    TestHost::acceptsSize = true;
    EXPECT_TRUE(window->setSize(250, 120));
    EXPECT_EQ(TestHost::count(audioMasterCanDo), 1);
    EXPECT_EQ(TestHost::count(audioMasterSizeWindow), 1);
    expectSize(child, 250, 120);
    expectSize(container, 200, 100);
    UiRect bounds;
    window->getBounds(bounds);
    EXPECT_EQ(bounds.width(), 200);
}

TEST_F(HostFrameTest, WithoutTheHostTheChainGrowsUpToTheDialogFrame) {
    TestHost::canSizeWindow = true;  // can do it, but refuses this size
    EXPECT_TRUE(window->setSize(250, 120));
    expectSize(child, 250, 120);
    expectSize(container, 250, 120);
    expectSize(middle, 260, 130);
    expectSize(outer, 260 + border, 130 + border);
    expectSize(desk.handle(), 600, 400);
    UiRect bounds;
    window->getBounds(bounds);
    EXPECT_EQ(bounds.width(), 250);
    EXPECT_EQ(bounds.height(), 120);

    TestHost::reset();
    EXPECT_FALSE(window->setSize(250, 120));  // the size it has: nothing asked, nothing changed
    EXPECT_TRUE(TestHost::requests.empty());
}

TEST_F(HostFrameTest, ClimbingStopsAtAWindowMuchLargerThanItsContent) {
    // Middle grows to 200 pixels wider than container: the climb stops below it.
    SetWindowPos(middle, nullptr, 0, 0, 400, 110, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(window->setSize(150, 90));
    expectSize(child, 150, 90);
    expectSize(container, 150, 90);
    expectSize(middle, 400, 110);
}

TEST(StandaloneWindowTest, OpensAndClosesThroughTheHost) {
    TestHost::reset();
    TestPlugin plugin;
    auto* window = new PluginWindow(UiRect{10, 20, 210, 120}, "Standalone", plugin.editor, 0);
    EXPECT_FALSE(window->isOpen());
    EXPECT_STREQ(window->getHostWindowRecord()->title, "Standalone");

    ASSERT_TRUE(window->openWindow(nullptr));
    HWND frame = TestHost::openedWindow;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(window->getParentWindow(), frame);
    EXPECT_EQ(GetParent(static_cast<HWND>(window->getChildWindow())), frame);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_FALSE(window->openWindow(nullptr));  // already open: brought to the top only
    EXPECT_EQ(TestHost::count(audioMasterOpenWindow), 1);

    EXPECT_TRUE(window->closeWindow());
    EXPECT_EQ(TestHost::count(audioMasterCloseWindow), 1);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(window->isOpen());  // the host's window took the child window with it
    EXPECT_FALSE(window->closeWindow());

    const UiPoint position{5, 6};
    ASSERT_TRUE(window->openWindow(&position));
    GetWindowRect(TestHost::openedWindow, &r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(WindowClass::useCount(), 1);

    delete window;  // closes the host's window as well
    EXPECT_EQ(TestHost::count(audioMasterCloseWindow), 2);
    EXPECT_EQ(TestHost::openedWindow, nullptr);
    EXPECT_EQ(WindowClass::useCount(), 0);

    PluginWindow orphan(UiRect{0, 0, 10, 10}, "Orphan", nullptr, 0);
    EXPECT_FALSE(orphan.openWindow(nullptr));
}

}  // namespace
