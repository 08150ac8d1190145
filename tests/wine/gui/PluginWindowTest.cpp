// The native half of PluginWindow under Wine: class registration, messages, cursor, idle pacing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "GuiTestSupport.h"
#include "RecordingWidget.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/BlendLibrary.h"
#include "gui/platform/win32/WindowClass.h"

namespace {

std::string expectedClassName() {
    char name[32];
    std::snprintf(name, sizeof name, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))));
    return name;
}

bool classRegistered(const std::string& name) {
    WNDCLASSA description;
    return GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &description) != 0;
}

TEST(PluginWindowClassTest, RegisteredOnceForTwoWindowsAndUnregisteredWithTheLast) {
    const std::string name = expectedClassName();
    ParentWindow parent(300, 200);
    ASSERT_FALSE(classRegistered(name));
    auto* first = new PluginWindow(UiRect{0, 0, 120, 80}, parent.handle(), nullptr);
    auto* second = new PluginWindow(UiRect{0, 0, 60, 40}, parent.handle(), nullptr);
    EXPECT_EQ(WindowClass::useCount(), 2);
    WNDCLASSA description;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &description));
    EXPECT_TRUE(description.style & CS_GLOBALCLASS);

    HWND child = static_cast<HWND>(first->getChildWindow());
    char className[64], title[64];
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, title, sizeof title);
    EXPECT_EQ(name, className);
    EXPECT_STREQ(title, "Window");
    EXPECT_EQ(GetParent(child), parent.handle());
    EXPECT_EQ(GetWindowLongA(child, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(windowSize(child).cx, 120);
    EXPECT_EQ(windowSize(child).cy, 80);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(first));

    delete first;
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(classRegistered(name));
    EXPECT_NE(BlendLibrary::transparentBlt, nullptr);
    delete second;
    EXPECT_FALSE(classRegistered(name));
    EXPECT_EQ(WindowClass::useCount(), 0);
    EXPECT_EQ(BlendLibrary::transparentBlt, nullptr);  // nothing may call into the released library
}

TEST(PluginWindowClassTest, NoParentNoWindow) {
    PluginWindow window(UiRect{0, 0, 10, 10}, nullptr, nullptr);
    EXPECT_EQ(window.getChildWindow(), nullptr);
    EXPECT_EQ(WindowClass::useCount(), 0);
    EXPECT_FALSE(window.setDropActive(true));
}

class PluginWindowMessageTest : public ::testing::Test {
protected:
    PluginWindowMessageTest() : parent(200, 100) {}
    ParentWindow parent;
};

TEST_F(PluginWindowMessageTest, ButtonMessagesReachTheTopmostChildAtTheMessagePoint) {
    PluginWindow window(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
    auto* below = new RecordingWidget(UiRect{0, 0, 100, 100});
    auto* above = new RecordingWidget(UiRect{10, 10, 50, 50});
    window.addChild(below);
    window.addChild(above);
    HWND child = static_cast<HWND>(window.getChildWindow());

    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    pumpMessages();
    EXPECT_EQ(above->clicks, 1);
    EXPECT_EQ(below->clicks, 0);
    EXPECT_EQ(above->lastWhere.h, 20);
    EXPECT_EQ(above->lastWhere.v, 30);
    EXPECT_TRUE(above->clickHadContext);
    EXPECT_EQ(above->clickWindowHandle, window.getChildWindow());

    SendMessageA(child, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(70, 80));
    SendMessageA(child, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(60, 5));
    EXPECT_EQ(below->clicks, 2);
    EXPECT_EQ(above->clicks, 1);
}

TEST_F(PluginWindowMessageTest, PaintMessagesDrawWhatTheUpdateRegionTouches) {
    PluginWindow window(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
    auto* left = new RecordingWidget(UiRect{0, 0, 40, 40});
    auto* right = new RecordingWidget(UiRect{150, 50, 190, 90});
    window.addChild(left);
    window.addChild(right);
    pumpMessages();
    EXPECT_FALSE(window.isFirstDrawPending());

    const int leftBefore = left->draws, rightBefore = right->draws;
    HWND child = static_cast<HWND>(window.getChildWindow());
    RECT corner{160, 60, 170, 70};
    InvalidateRect(child, &corner, FALSE);
    pumpMessages();
    EXPECT_EQ(left->draws, leftBefore);
    EXPECT_EQ(right->draws, rightBefore + 1);
    EXPECT_EQ(right->lastArea.left, 160);
    EXPECT_EQ(right->lastArea.bottom, 70);
}

TEST_F(PluginWindowMessageTest, HostDestroyingTheParentClosesTheWindow) {
    auto* window = new PluginWindow(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
    EXPECT_TRUE(window->isOpen());
    DestroyWindow(parent.handle());
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(window->getParentWindow(), nullptr);
    delete window;
    EXPECT_EQ(WindowClass::useCount(), 0);
}

TEST_F(PluginWindowMessageTest, CursorPositionAndShapes) {
    PluginWindow window(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
    RECT frame;
    GetWindowRect(static_cast<HWND>(window.getChildWindow()), &frame);
    ASSERT_TRUE(placeCursor(frame.left + 33, frame.top + 44));
    UiPoint where;
    EXPECT_TRUE(window.getCursorPosition(where));
    EXPECT_EQ(where.h, 33);
    EXPECT_EQ(where.v, 44);

    HCURSOR before = LoadCursorA(nullptr, MAKEINTRESOURCEA(32513));  // IDC_IBEAM, as a host might show
    SetCursor(before);
    window.setCursor(7);
    EXPECT_EQ(GetCursor(), before);
    window.setCursor(CursorWait);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
    window.setCursor(CursorFalling);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32642)));
    window.setCursor(CursorDefault);
    EXPECT_EQ(GetCursor(), before);

    // Nothing shown before the first change: the default afterwards is the class's arrow.
    SetCursor(nullptr);
    PluginWindow second(UiRect{0, 0, 20, 20}, parent.handle(), nullptr);
    second.setCursor(CursorMove);
    second.setCursor(CursorDefault);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));

    // A window that never changed the cursor leaves the host's alone when it goes, a hidden one included.
    SetCursor(nullptr);
    delete new PluginWindow(UiRect{0, 0, 20, 20}, parent.handle(), nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(PluginWindowMessageTest, ServiceIdlePacesPassesByTheTickCount) {
    TestHost::reset();
    TestPlugin plugin;
    PluginWindow window(UiRect{0, 0, 200, 100}, parent.handle(), plugin.editor);
    auto* widget = new RecordingWidget(UiRect{0, 0, 50, 50});
    window.addChild(widget);
    pumpMessages();
    // The pacing reads the tick count, which under load can lag the wall clock: waits are made in ticks.
    auto waitTicksSince = [](DWORD from, DWORD ms) {
        Sleep(ms);
        for (int i = 0; i < 2000 && GetTickCount() - from < ms; ++i) Sleep(5);
    };
    waitTicksSince(GetTickCount(), 110);  // the first pass is due

    // A pass dispatches one waiting paint message.
    InvalidateRect(static_cast<HWND>(window.getChildWindow()), nullptr, FALSE);
    const int drawsBefore = widget->draws;
    window.runEditorIdle();
    DWORD lastPassTicks = GetTickCount();
    EXPECT_EQ(TestHost::count(audioMasterIdle), 1);
    EXPECT_EQ(widget->draws, drawsBefore + 1);

    // Right after a pass: only the 4 ms sleep (timed finer than the tick count goes). A try in which the thread
    // was held up long enough for the next pass to fall due proves nothing and is made again.
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto msSince = [&frequency](const LARGE_INTEGER& from) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
    };
    bool tried = false;
    for (int attempt = 0; attempt < 100 && !tried; ++attempt) {
        waitTicksSince(lastPassTicks, 60);  // 46 ms or more after the pass: the next call runs one
        const int passes = TestHost::count(audioMasterIdle);
        LARGE_INTEGER passStart, start;
        QueryPerformanceCounter(&passStart);
        const DWORD passTicks = GetTickCount();
        window.runEditorIdle();
        lastPassTicks = GetTickCount();
        ASSERT_EQ(TestHost::count(audioMasterIdle), passes + 1);
        QueryPerformanceCounter(&start);
        window.runEditorIdle();
        const double spentMs = msSince(start);
        if (msSince(passStart) >= 40.0 || GetTickCount() - passTicks >= 40) continue;
        EXPECT_EQ(TestHost::count(audioMasterIdle), passes + 1);
        EXPECT_GE(spentMs, 3.5);
        tried = true;
    }
    EXPECT_TRUE(tried) << "every try was held up past the pacing interval";
    EXPECT_GT(window.getTicks(), 0u);
}

}  // namespace
