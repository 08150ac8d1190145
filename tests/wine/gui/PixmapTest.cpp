// Pixmap over real GDI: resource loading, plain and film-strip copies, the three transparent strategies.
#include <gtest/gtest.h>

#include <windows.h>

#include "GuiTestSupport.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/OffscreenSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/BlendLibrary.h"

namespace {

class PixmapTest : public ::testing::Test {
protected:
    PixmapTest()
        : parent(200, 150), window(UiRect{0, 0, 200, 150}, parent.handle(), nullptr),
          child(static_cast<HWND>(window.getChildWindow())), pixmap(new Pixmap(patternId)) {
        pumpMessages();
        context = GetDC(child);
        surface = new DrawSurface(&window, context, child);
        surface->setFillColour(colourBlue);
        surface->fillArea(UiRect{-1, -1, 200, 150});
    }
    ~PixmapTest() override {
        pixmap->release();
        delete surface;
        ReleaseDC(child, context);
    }

    COLORREF pixel(int x, int y) { return GetPixel(context, x, y); }

    // The film strip's second frame drawn at (10, 10): white source pixels show the blue destination
    // when transparent is set, every other pixel comes from rows 40..79 of the pattern.
    void expectSecondFrameAt10(bool transparent) {
        for (int y : {0, 5, 9, 10, 25, 39}) {
            for (int x : {0, 4, 9, 10, 30, 41}) {
                COLORREF expected = patternColour(x, 40 + y);
                if (transparent && expected == RGB(255, 255, 255)) expected = RGB(0, 0, 255);
                EXPECT_EQ(pixel(10 + x, 10 + y), expected) << "x " << x << " y " << y;
            }
        }
        EXPECT_EQ(pixel(9, 9), RGB(0, 0, 255));
        EXPECT_EQ(pixel(52, 30), RGB(0, 0, 255));
        EXPECT_EQ(pixel(30, 50), RGB(0, 0, 255));
    }

    ParentWindow parent;
    PluginWindow window;
    HWND child;
    Pixmap* pixmap;
    HDC context = nullptr;
    DrawSurface* surface = nullptr;
};

const UiRect secondFrameArea{10, 10, 52, 50};
const UiPoint secondFrame{0, 40};

TEST_F(PixmapTest, LoadsTheResourceNamedByTheLowSixteenBits) {
    EXPECT_TRUE(pixmap->isLoaded());
    EXPECT_EQ(pixmap->getWidth(), patternWidth);
    EXPECT_EQ(pixmap->getHeight(), patternHeight);

    Pixmap* high = new Pixmap(65536 + patternId);
    EXPECT_TRUE(high->isLoaded());
    EXPECT_EQ(high->getResourceId(), 65536 + patternId);
    EXPECT_EQ(high->getWidth(), patternWidth);
    high->release();

    Pixmap* missing = new Pixmap(4321);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);
    missing->draw(surface, UiRect{0, 0, 20, 20}, UiPoint{0, 0});
    missing->drawTransparent(surface, UiRect{0, 0, 20, 20}, UiPoint{0, 0});
    EXPECT_EQ(pixel(5, 5), RGB(0, 0, 255));
    missing->release();
}

// Loading reads the resource's header alone; the GDI bitmap is made at the first drawing, once.
TEST_F(PixmapTest, TheBitmapIsMadeAtTheFirstDrawingOnly) {
    EXPECT_EQ(pixmap->bitmap, nullptr);
    pixmap->draw(surface, secondFrameArea, secondFrame);
    const NativeHandle made = pixmap->bitmap;
    ASSERT_NE(made, nullptr);
    expectSecondFrameAt10(false);
    pixmap->draw(surface, secondFrameArea, secondFrame);
    EXPECT_EQ(pixmap->bitmap, made);
}

TEST_F(PixmapTest, DrawCopiesAFilmStripFrameWhitePixelsIncluded) {
    pixmap->draw(surface, secondFrameArea, secondFrame);
    expectSecondFrameAt10(false);
}

TEST_F(PixmapTest, DrawFollowsTheSurfaceOffset) {
    surface->offset = UiPoint{100, 40};
    pixmap->draw(surface, UiRect{0, 0, 42, 40}, UiPoint{0, 80});
    EXPECT_EQ(pixel(100, 40), patternColour(0, 80));
    EXPECT_EQ(pixel(141, 79), patternColour(41, 119));
    EXPECT_EQ(pixel(99, 40), RGB(0, 0, 255));
}

TEST_F(PixmapTest, TransparentBltLeavesTheTransparentColourOut) {
    ASSERT_NE(BlendLibrary::transparentBlt, nullptr);
    pixmap->drawTransparent(surface, secondFrameArea, secondFrame);
    expectSecondFrameAt10(true);
}

TEST_F(PixmapTest, MaskCompositionWithoutTransparentBltGivesTheSamePicture) {
    const auto saved = BlendLibrary::transparentBlt;
    BlendLibrary::reset();
    pixmap->drawTransparent(surface, secondFrameArea, secondFrame);
    BlendLibrary::transparentBlt = saved;
    expectSecondFrameAt10(true);
    EXPECT_EQ(GetBkColor(context), RGB(0, 0, 255));  // the destination's colours are put back
    EXPECT_EQ(GetTextColor(context), RGB(255, 255, 255));
}

TEST_F(PixmapTest, BuiltMaskDrivesTheTransparentCopy) {
    // The mask is made from what a surface shows: the whole pixmap drawn plainly at (0, 0).
    OffscreenSurface offscreen(&window, patternWidth, patternHeight, colourBlack);
    pixmap->draw(&offscreen, UiRect{0, 0, patternWidth, patternHeight}, UiPoint{0, 0});
    pixmap->buildMask(&offscreen, UiPoint{0, 0});
    ASSERT_NE(pixmap->mask, nullptr);
    const auto saved = BlendLibrary::transparentBlt;
    BlendLibrary::reset();  // the mask must win without TransparentBlt's help
    pixmap->drawTransparent(surface, secondFrameArea, secondFrame);
    BlendLibrary::transparentBlt = saved;
    expectSecondFrameAt10(true);
}

TEST_F(PixmapTest, OtherTransparentColoursAndBlending) {
    pixmap->setTransparentColour(UiColor{static_cast<uint8_t>(6 * 20), static_cast<uint8_t>(2 * 60), 64, 0});
    pixmap->drawTransparent(surface, secondFrameArea, secondFrame);
    EXPECT_EQ(pixel(30, 30), RGB(0, 0, 255));  // source (20, 60) has the transparent colour now
    EXPECT_EQ(pixel(10, 10), RGB(255, 255, 255));

    ASSERT_NE(BlendLibrary::alphaBlend, nullptr);
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{99, 99, 200, 150});
    pixmap->drawBlended(surface, UiRect{100, 100, 142, 140}, UiPoint{0, 80}, 128);
    const COLORREF blended = pixel(130, 110);  // source (30, 90): 180, 180, 64
    EXPECT_NEAR(GetRValue(blended), 90, 2);
    EXPECT_NEAR(GetGValue(blended), 90, 2);
    EXPECT_NEAR(GetBValue(blended), 32, 2);
}

}  // namespace
