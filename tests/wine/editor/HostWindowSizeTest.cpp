// HostWindowSizeTest: a framed host window has the client area it is asked for, also one larger than the
// screen (an editor at 200 % on a small screen, or while Wine still reads its screen as 1024 x 768).
#include <gtest/gtest.h>

#include <windows.h>

#include "tools/hostwindow/HostWindow.h"

namespace {

SIZE clientSize(HWND window) {
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

TEST(HostWindowSizeTest, AFramedWindowLargerThanTheScreenIsMadeAndResizedToTheSizeAsked) {
    const HostWindowLook look{"VozuvFramedHostTest", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadCursor(nullptr, IDC_ARROW)};
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN) + 300, height = GetSystemMetrics(SM_CYVIRTUALSCREEN) + 200;
    HWND window = HostWindow::create(look, "Vozuv wide host", width, height);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(clientSize(window).cx, width);
    EXPECT_EQ(clientSize(window).cy, height);
    // As the host answers an editor's audioMasterSizeWindow.
    EXPECT_TRUE(HostWindow::setClientSize(window, width + 100, height + 50));
    EXPECT_EQ(clientSize(window).cx, width + 100);
    EXPECT_EQ(clientSize(window).cy, height + 50);
    DestroyWindow(window);
}

}  // namespace
