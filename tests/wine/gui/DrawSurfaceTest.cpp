// DrawSurface and OffscreenSurface over real GDI: fills, frames, text placement, fonts, input polling.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <thread>

#include "GuiTestSupport.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/OffscreenSurface.h"
#include "gui/core/PluginWindow.h"

namespace {

class DrawSurfaceTest : public ::testing::Test {
protected:
    DrawSurfaceTest()
        : parent(200, 120), window(UiRect{0, 0, 200, 120}, parent.handle(), nullptr),
          child(static_cast<HWND>(window.getChildWindow())) {
        pumpMessages();  // the first paint, so it cannot wipe what a test draws
        context = GetDC(child);
        surface = new DrawSurface(&window, context, child);
    }
    ~DrawSurfaceTest() override {
        delete surface;
        ReleaseDC(child, context);
    }

    COLORREF pixel(int x, int y) { return GetPixel(context, x, y); }

    // Leftmost and rightmost column of row band top..bottom holding colour; -1 when none.
    std::pair<int, int> columnsOf(COLORREF colour, int left, int top, int right, int bottom) {
        int first = -1, last = -1;
        for (int x = left; x < right; ++x)
            for (int y = top; y < bottom; ++y)
                if (pixel(x, y) == colour) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

    ParentWindow parent;
    PluginWindow window;
    HWND child;
    HDC context = nullptr;
    DrawSurface* surface = nullptr;
};

const COLORREF red = RGB(255, 0, 0);
const COLORREF blue = RGB(0, 0, 255);
const COLORREF white = RGB(255, 255, 255);
const COLORREF black = RGB(0, 0, 0);

TEST_F(DrawSurfaceTest, FillAreaSparesTopRowAndLeftColumnAndFollowsTheOffset) {
    surface->setFillColour(colourRed);
    surface->fillArea(UiRect{10, 10, 20, 20});
    EXPECT_NE(pixel(10, 15), red);
    EXPECT_NE(pixel(15, 10), red);
    EXPECT_EQ(pixel(11, 11), red);
    EXPECT_EQ(pixel(19, 19), red);
    EXPECT_NE(pixel(20, 19), red);
    EXPECT_NE(pixel(19, 20), red);

    surface->setFillColour(colourBlue);
    surface->fillArea(UiRect{40, 10, 41, 20});  // one pixel wide: nothing left to paint
    EXPECT_NE(pixel(40, 15), blue);

    surface->offset = UiPoint{100, 50};
    surface->fillArea(UiRect{0, 0, 10, 10});
    EXPECT_EQ(pixel(101, 51), blue);
    EXPECT_EQ(pixel(109, 59), blue);
    EXPECT_NE(pixel(1, 1), blue);
}

TEST_F(DrawSurfaceTest, DrawFrameClosesAllFourCorners) {
    surface->setFrameColour(colourBlue);
    surface->drawFrame(UiRect{30, 10, 40, 20});
    EXPECT_EQ(pixel(30, 10), blue);
    EXPECT_EQ(pixel(40, 10), blue);
    EXPECT_EQ(pixel(40, 20), blue);
    EXPECT_EQ(pixel(30, 20), blue);
    EXPECT_EQ(pixel(35, 20), blue);
    EXPECT_NE(pixel(35, 15), blue);
    EXPECT_NE(pixel(41, 10), blue);
}

TEST_F(DrawSurfaceTest, TextAlignmentLeftShiftsOnePixelAndCentreUsesTheFullArea) {
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 200, 120});
    surface->setFont(0, 0, 0);
    surface->setFontColour(colourWhite);
    const char* text = "IIII";

    // The same text through DrawTextA at x = 1: the left alignment must start exactly there.
    RECT reference{1, 30, 100, 50};
    DrawTextA(context, text, -1, &reference, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    surface->drawText(text, UiRect{0, 0, 100, 20}, false, AlignLeft);
    const auto referenceColumns = columnsOf(white, 0, 30, 100, 50);
    const auto leftColumns = columnsOf(white, 0, 0, 100, 20);
    ASSERT_GE(referenceColumns.first, 1);
    EXPECT_EQ(leftColumns.first, referenceColumns.first);

    surface->drawText(text, UiRect{0, 60, 100, 80}, false, AlignCentre);
    const auto centred = columnsOf(white, 0, 60, 100, 80);
    const int width = referenceColumns.second - referenceColumns.first;
    EXPECT_NEAR(centred.first, 50 - width / 2, 2);
    EXPECT_NEAR((centred.first + centred.second) / 2.0, 50.0, 2.0);

    surface->drawText(text, UiRect{0, 90, 100, 110}, false, AlignRight);
    const auto right = columnsOf(white, 0, 90, 100, 110);
    EXPECT_GE(right.second, 96);
    EXPECT_LE(right.second, 99);
}

TEST_F(DrawSurfaceTest, OpaqueTextPaintsTheFillColourBehindItOnlyOnce) {
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 200, 120});
    surface->setFont(3, 0, 0);
    surface->setFontColour(colourWhite);
    surface->setFillColour(colourGreen);
    surface->drawText("M M", UiRect{0, 0, 100, 20}, true, AlignLeft);
    EXPECT_GE(columnsOf(RGB(0, 255, 0), 0, 0, 100, 20).first, 1);
    // The background mode is back to transparent: the next text leaves no fill behind.
    surface->drawText("M M", UiRect{0, 40, 100, 60}, false, AlignLeft);
    EXPECT_EQ(columnsOf(RGB(0, 255, 0), 0, 40, 100, 60).first, -1);
    EXPECT_GE(columnsOf(white, 0, 40, 100, 60).first, 1);
}

LOGFONTA selectedFont(HDC context) {
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(context, OBJ_FONT), sizeof font, &font);
    return font;
}

TEST_F(DrawSurfaceTest, SetFontSelectsTheTableEntry) {
    for (int id : {-1, 8, 0}) {
        surface->setFont(id, 0, 0);
        const LOGFONTA font = selectedFont(context);
        EXPECT_STREQ(font.lfFaceName, "Arial") << id;
        EXPECT_EQ(font.lfHeight, -12) << id;
        EXPECT_EQ(font.lfWeight, 700) << id;
        EXPECT_EQ(font.lfPitchAndFamily, 34) << id;
        EXPECT_EQ(surface->fontId, 0);
        EXPECT_EQ(surface->fontSize, 12);
    }
    surface->setFont(7, 0, 0);
    LOGFONTA font = selectedFont(context);
    EXPECT_STREQ(font.lfFaceName, "Symbol");
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfPitchAndFamily, 80);

    surface->setFont(3, 0, FontBold);
    EXPECT_EQ(selectedFont(context).lfWeight, 700);
    surface->setFont(2, 20, FontItalic | FontUnderline);
    font = selectedFont(context);
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(font.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_GT(surface->getTextWidth("Compressor"), surface->getTextWidth("C"));
}

TEST_F(DrawSurfaceTest, FreshSurfaceStateAndRestoredObjects) {
    HGDIOBJ penBefore = GetCurrentObject(context, OBJ_PEN);
    HGDIOBJ brushBefore = GetCurrentObject(context, OBJ_BRUSH);
    {
        DrawSurface second(&window, context, child);
        EXPECT_EQ(GetTextColor(context), white);
        EXPECT_EQ(GetBkColor(context), black);
        EXPECT_EQ(GetBkMode(context), TRANSPARENT);
        LOGPEN pen{};
        GetObjectA(GetCurrentObject(context, OBJ_PEN), sizeof pen, &pen);
        EXPECT_EQ(pen.lopnColor, white);
        EXPECT_EQ(pen.lopnWidth.x, 1);
        second.setLineStyle(LineDotted);
        GetObjectA(GetCurrentObject(context, OBJ_PEN), sizeof pen, &pen);
        EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DOT));
        second.setDrawMode(DrawXor);
        EXPECT_EQ(GetROP2(context), R2_NOTXORPEN);
        UiPoint origin = second.screenOrigin;
        RECT frame;
        GetWindowRect(child, &frame);
        EXPECT_EQ(origin.h, frame.left);
        EXPECT_EQ(origin.v, frame.top);
        SetROP2(context, R2_COPYPEN);
    }
    EXPECT_EQ(GetCurrentObject(context, OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(context, OBJ_BRUSH), brushBefore);
}

TEST_F(DrawSurfaceTest, ClipAreaIgnoresTheOffsetAndPixelsHaveNoAlpha) {
    surface->offset = UiPoint{10, 10};
    surface->setClipArea(UiRect{0, 0, 50, 50});
    surface->setFillColour(colourRed);
    surface->fillArea(UiRect{-20, -20, 100, 100});
    EXPECT_EQ(pixel(49, 49), red);
    EXPECT_NE(pixel(50, 50), red);
    surface->resetClipArea();
    surface->drawPixel(UiPoint{100, 60}, UiColor{1, 2, 3, 200});
    const UiColor read = surface->getPixel(UiPoint{100, 60});
    EXPECT_EQ(read, (UiColor{1, 2, 3, 0}));
}

TEST_F(DrawSurfaceTest, OffscreenSurfaceTakesItsBackgroundAndCopiesToTheWindow) {
    OffscreenSurface offscreen(&window, 40, 30, colourGrey);
    for (const UiPoint& corner : {UiPoint{0, 0}, UiPoint{39, 0}, UiPoint{39, 29}, UiPoint{0, 29}, UiPoint{20, 15}}) {
        EXPECT_EQ(offscreen.getPixel(corner), colourGrey) << corner.h << "," << corner.v;
    }
    offscreen.setFillColour(colourBlue);
    offscreen.fillArea(UiRect{-1, -1, 10, 10});
    surface->offset = UiPoint{5, 5};
    offscreen.copyTo(surface, UiRect{50, 50, 90, 80}, UiPoint{0, 0});
    EXPECT_EQ(pixel(55, 55), blue);
    EXPECT_EQ(pixel(64, 64), blue);
    EXPECT_EQ(pixel(65, 65), RGB(127, 127, 127));
    EXPECT_EQ(pixel(94, 84), RGB(127, 127, 127));
    EXPECT_NE(pixel(95, 85), RGB(127, 127, 127));
}

void sendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    for (const auto& key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.first;
        input.ki.dwFlags = key.second ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &input, sizeof input);
    }
}

void sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Polls until the button set equals expected or ten seconds have passed.
int32_t waitForButtons(DrawSurface* surface, int32_t expected) {
    int32_t buttons = surface->getMouseButtons();
    const DWORD start = GetTickCount();
    while (buttons != expected && GetTickCount() - start < 10000) {
        Sleep(10);
        pumpMessages();
        buttons = surface->getMouseButtons();
    }
    return buttons;
}

TEST_F(DrawSurfaceTest, MouseButtonsReportPrimaryWithControlAsSeventeen) {
    ASSERT_TRUE(placeCursor(600, 500));  // outside the test window
    std::thread([] {
        sendKeys({{VK_CONTROL, true}});
        sendMouse(MOUSEEVENTF_LEFTDOWN);
    }).join();
    EXPECT_EQ(waitForButtons(surface, MouseLeft | KeyControl), MouseLeft | KeyControl);
    std::thread([] {
        sendMouse(MOUSEEVENTF_LEFTUP);
        sendKeys({{VK_SHIFT, true}});
    }).join();
    EXPECT_EQ(waitForButtons(surface, KeyControl | KeyShift), KeyControl | KeyShift);
    std::thread([] { sendKeys({{VK_SHIFT, false}, {VK_CONTROL, false}}); }).join();
    EXPECT_EQ(waitForButtons(surface, 0), 0);

    UiPoint where;
    ASSERT_TRUE(placeCursor(25, 35));
    surface->getMousePosition(where);
    RECT frame;
    GetWindowRect(child, &frame);
    EXPECT_EQ(where.h, 25 - frame.left);
    EXPECT_EQ(where.v, 35 - frame.top);
}

TEST(SwappedButtonsTest, PhysicalRightButtonIsThePrimaryOneWhenSwapped) {
    // The swap is read when the first window registers the class.
    SwapMouseButton(TRUE);
    ParentWindow parent(50, 50);
    PluginWindow window(UiRect{0, 0, 50, 50}, parent.handle(), nullptr);
    SwapMouseButton(FALSE);
    DrawSurface surface(&window, nullptr, nullptr);
    ASSERT_TRUE(placeCursor(600, 500));
    std::thread([] { sendMouse(MOUSEEVENTF_RIGHTDOWN); }).join();
    EXPECT_EQ(waitForButtons(&surface, MouseLeft), MouseLeft);
    std::thread([] { sendMouse(MOUSEEVENTF_RIGHTUP); }).join();
    EXPECT_EQ(waitForButtons(&surface, 0), 0);
}

}  // namespace

namespace {

// The wait runs for the double-click time after the last message the thread took: take one now.
void freshMessageTime(HWND window) {
    PostMessageA(window, WM_USER, 0, 0);
    MSG message;
    GetMessageA(&message, window, WM_USER, WM_USER);
}

}  // namespace

TEST_F(DrawSurfaceTest, DoubleClickWaitTakesOnlyClicksOnItsOwnWindow) {
    pumpMessages();
    freshMessageTime(parent.handle());
    PostMessageA(parent.handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);  // a click meant for the host
    EXPECT_FALSE(surface->waitForDoubleClick());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, parent.handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
        << "the host's click was taken from its queue";

    freshMessageTime(parent.handle());
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(surface->waitForDoubleClick());
    EXPECT_FALSE(PeekMessageA(&message, child, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}
