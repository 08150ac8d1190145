// Pixels of the surface's lines, frames, fills and shapes on the headless backend.
#include "tests/cairo/HeadlessFixture.h"

#include "gui/core/OffscreenSurface.h"

using SurfaceShapeTest = HeadlessFixture;

TEST_F(SurfaceShapeTest, FillAreaLeavesTopRowAndLeftColumnAndIsExclusiveRightAndBelow) {
    surface->setFillColour(colourRed);
    surface->fillArea(UiRect{10, 10, 20, 15});
    UiRect box;
    ASSERT_TRUE(litBox(box));
    EXPECT_EQ(box.left, 11);
    EXPECT_EQ(box.top, 11);
    EXPECT_EQ(box.right, 19);
    EXPECT_EQ(box.bottom, 14);
    EXPECT_EQ(countRgb(colourRed), 9 * 4);

    // One pixel wide: its only column is the excluded left one.
    surface->setFillColour(colourGreen);
    surface->fillArea(UiRect{40, 10, 41, 20});
    EXPECT_EQ(countRgb(colourGreen), 0);
}

TEST_F(SurfaceShapeTest, FrameCoversBothEdgesAndLinesLeaveTheirEndPixel) {
    surface->setFrameColour(colourYellow);
    surface->drawFrame(UiRect{10, 10, 20, 15});
    EXPECT_EQ(countRgb(colourYellow), 2 * 11 + 2 * 4);  // columns 10..20, rows 10..15, inclusive
    EXPECT_TRUE(is(20, 15, colourYellow));
    EXPECT_TRUE(isBlack(15, 12));
    EXPECT_TRUE(isBlack(21, 10));

    surface->setFrameColour(colourCyan);
    surface->moveTo(UiPoint{30, 30});
    surface->lineTo(UiPoint{40, 30});
    EXPECT_TRUE(is(30, 30, colourCyan));
    EXPECT_TRUE(is(39, 30, colourCyan));
    EXPECT_TRUE(isBlack(40, 30));

    surface->setFrameColour(colourMagenta);
    surface->moveTo(UiPoint{50, 40});
    surface->lineTo(UiPoint{60, 50});
    EXPECT_EQ(countRgb(colourMagenta), 10);
    EXPECT_TRUE(is(59, 49, colourMagenta));
    EXPECT_TRUE(isBlack(60, 50));
}

TEST_F(SurfaceShapeTest, FarAwayCoordinatesCostOnlyTheVisiblePart) {
    // Lines and shapes spanning the whole 32-bit range are walked inside the clip only.
    surface->setFrameColour(colourWhite);
    surface->moveTo(UiPoint{-2000000000, 10});
    surface->lineTo(UiPoint{2000000000, 10});
    surface->moveTo(UiPoint{30, 2000000000});
    surface->lineTo(UiPoint{30, -2000000000});
    surface->setFillColour(colourRed);
    surface->fillEllipse(UiRect{-2000000000, -2000000000, 2000000000, 2000000000});
    EXPECT_TRUE(is(0, 0, colourRed));
    EXPECT_TRUE(is(119, 10, colourRed));  // the ellipse covers the line too

    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->moveTo(UiPoint{-2000000000, 10});
    surface->lineTo(UiPoint{2000000000, 10});
    surface->moveTo(UiPoint{30, 2000000000});
    surface->lineTo(UiPoint{30, -2000000000});
    EXPECT_EQ(countRgb(colourWhite), 120 + 79);
}

TEST_F(SurfaceShapeTest, SlopedLinesRoundHalvesTowardsTheSmallerCoordinateBothWays) {
    // Rows of (0, 0)-(10, 5) and of its reverse, as GDI draws them: the halves at odd x go up.
    const char* forward[] = {"##.........", "..##.......", "....##.....", "......##...", "........##.", "..........."};
    const char* backward[] = {".#.........", "..##.......", "....##.....", "......##...", "........##.", "..........#"};
    for (int pass = 0; pass < 2; ++pass) {
        surface->setFillColour(colourBlack);
        surface->fillArea(UiRect{-1, -1, 120, 80});
        surface->moveTo(pass == 0 ? UiPoint{0, 0} : UiPoint{10, 5});
        surface->lineTo(pass == 0 ? UiPoint{10, 5} : UiPoint{0, 0});
        for (int32_t y = 0; y < 6; ++y) {
            std::string row;
            for (int32_t x = 0; x < 11; ++x) row += isBlack(x, y) ? '.' : '#';
            EXPECT_EQ(row, (pass == 0 ? forward : backward)[y]) << "pass " << pass << " row " << y;
        }
    }
}

TEST_F(SurfaceShapeTest, OffsetMovesDrawingButNotTheClipArea) {
    surface->offset = UiPoint{10, 10};
    surface->setClipArea(UiRect{0, 0, 50, 50});
    surface->setFillColour(colourRed);
    surface->fillArea(UiRect{30, 30, 60, 60});
    UiRect box;
    ASSERT_TRUE(litBox(box));
    EXPECT_EQ(box.left, 41);
    EXPECT_EQ(box.top, 41);
    EXPECT_EQ(box.right, 49);
    EXPECT_EQ(box.bottom, 49);

    surface->resetClipArea();
    surface->fillArea(UiRect{30, 30, 60, 60});
    EXPECT_TRUE(is(69, 69, colourRed));
}

TEST_F(SurfaceShapeTest, DottedPenSkipsItsGapsOnAWindowAndFillsThemOffscreen) {
    surface->setLineStyle(LineDotted);
    surface->setFrameColour(colourWhite);
    surface->moveTo(UiPoint{0, 5});
    surface->lineTo(UiPoint{10, 5});
    surface->lineTo(UiPoint{20, 5});  // every LineTo starts the pattern again
    const UiPoint polyline[3] = {UiPoint{0, 7}, UiPoint{10, 7}, UiPoint{20, 7}};
    surface->drawPolyline(polyline, 3);  // one call runs it on
    std::string lines, poly;
    for (int32_t x = 0; x < 21; ++x) {
        lines += isBlack(x, 5) ? '.' : '#';
        poly += isBlack(x, 7) ? '.' : '#';
    }
    EXPECT_EQ(lines, "###...###.###...###..");
    EXPECT_EQ(poly, "###...###...###...##.");

    // A memory context stays in opaque background mode until text is drawn: gaps take the fill colour.
    OffscreenSurface offscreen(window, 20, 4, colourBlack);
    offscreen.setFillColour(colourBlue);
    offscreen.setLineStyle(LineDotted);
    offscreen.setFrameColour(colourWhite);
    offscreen.moveTo(UiPoint{0, 1});
    offscreen.lineTo(UiPoint{6, 1});
    EXPECT_TRUE(sameRgb(offscreen.getPixel(UiPoint{0, 1}), colourWhite));
    EXPECT_TRUE(sameRgb(offscreen.getPixel(UiPoint{3, 1}), colourBlue));
}

TEST_F(SurfaceShapeTest, OrAndNotXorModesCombineLineAndShapePixelsButNotFillArea) {
    const UiColor base{0x12, 0x34, 0x56, 0};
    const UiColor pen{0x21, 0x43, 0x65, 0};
    surface->setFillColour(base);
    surface->fillArea(UiRect{-1, -1, 120, 80});

    surface->setDrawMode(DrawOr);
    surface->setFrameColour(pen);
    surface->moveTo(UiPoint{0, 0});
    surface->lineTo(UiPoint{5, 0});
    EXPECT_TRUE(is(2, 0, UiColor{0x33, 0x77, 0x77, 0})) << rgbText(at(2, 0));

    surface->setDrawMode(DrawXor);
    surface->moveTo(UiPoint{0, 2});
    surface->lineTo(UiPoint{5, 2});
    const UiColor notXor{uint8_t(~(0x12 ^ 0x21)), uint8_t(~(0x34 ^ 0x43)), uint8_t(~(0x56 ^ 0x65)), 0};
    EXPECT_TRUE(is(2, 2, notXor)) << rgbText(at(2, 2));

    // Shapes fill through the raster operation too; twice NOTXOR with the same brush is the identity
    // only for white, so check one pass against the formula.
    surface->setFillColour(pen);
    surface->fillEllipse(UiRect{20, 20, 40, 40});
    EXPECT_TRUE(is(30, 30, notXor)) << rgbText(at(30, 30));

    // FillRect copies its brush whatever the mode.
    surface->fillArea(UiRect{50, 50, 60, 60});
    EXPECT_TRUE(is(55, 55, pen));

    // Setting the mode it already has changes nothing; back to copy draws plainly.
    surface->setDrawMode(DrawCopy);
    surface->moveTo(UiPoint{0, 4});
    surface->lineTo(UiPoint{5, 4});
    EXPECT_TRUE(is(2, 4, pen));
}

TEST_F(SurfaceShapeTest, EllipsesAndPiesStayInsideTheirBoxes) {
    surface->setFillColour(colourRed);
    surface->fillEllipse(UiRect{10, 10, 30, 20});  // GDI's Ellipse(11, 11, 31, 21) without a pen
    UiRect box;
    ASSERT_TRUE(litBox(box));
    EXPECT_EQ(box.left, 11);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(box.top, 11);
    EXPECT_EQ(box.bottom, 20);
    EXPECT_TRUE(is(20, 15, colourRed));
    EXPECT_TRUE(isBlack(11, 11));  // corners are outside the curve

    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->setFrameColour(colourGreen);
    surface->drawEllipse(UiRect{40, 10, 60, 30});
    ASSERT_TRUE(litBox(box));
    EXPECT_EQ(box.left, 40);
    EXPECT_EQ(box.right, 60);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_TRUE(isBlack(50, 20));
    EXPECT_TRUE(is(40, 20, colourGreen));
    EXPECT_TRUE(is(50, 10, colourGreen));

    // A quarter pie counter-clockwise from the right to the top fills the upper right quadrant only.
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->setFillColour(colourBlue);
    surface->fillArc(UiRect{10, 10, 50, 50}, UiPoint{60, 30}, UiPoint{30, 0});
    EXPECT_TRUE(is(38, 22, colourBlue));
    EXPECT_TRUE(isBlack(22, 22));
    EXPECT_TRUE(isBlack(38, 38));
    EXPECT_TRUE(isBlack(22, 38));

    // The arc outline follows the same sweep.
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->drawArc(UiRect{10, 10, 50, 50}, UiPoint{30, 60}, UiPoint{30, 0});  // bottom, right, top
    EXPECT_TRUE(is(50, 30, colourGreen));
    EXPECT_TRUE(isBlack(10, 30));
}

TEST_F(SurfaceShapeTest, FloodFillStopsAtTheBorderColour) {
    surface->setFrameColour(colourWhite);
    surface->drawFrame(UiRect{10, 10, 30, 30});
    surface->setFillColour(colourRed);
    surface->floodFill(UiPoint{20, 20});
    EXPECT_EQ(countRgb(colourRed), 19 * 19);
    EXPECT_TRUE(is(10, 10, colourWhite));
    EXPECT_TRUE(isBlack(5, 5));
}

TEST_F(SurfaceShapeTest, PixelsReadBackWithoutAlphaAndThroughTheOffset) {
    surface->offset = UiPoint{3, 4};
    surface->drawPixel(UiPoint{1, 1}, UiColor{10, 20, 30, 200});
    EXPECT_TRUE(is(4, 5, UiColor{10, 20, 30, 0}));
    const UiColor back = surface->getPixel(UiPoint{1, 1});
    EXPECT_EQ(back, (UiColor{10, 20, 30, 0}));

    // Outside the clip GetPixel answers CLR_INVALID, which reads as white without alpha.
    surface->setClipArea(UiRect{0, 0, 2, 2});
    EXPECT_EQ(surface->getPixel(UiPoint{1, 1}), (UiColor{255, 255, 255, 0}));
}

TEST_F(SurfaceShapeTest, OffscreenStartsInItsBackgroundAndCopiesToTheWindow) {
    OffscreenSurface offscreen(window, 40, 30, colourGrey);
    for (UiPoint corner : {UiPoint{0, 0}, UiPoint{39, 0}, UiPoint{39, 29}, UiPoint{0, 29}})
        EXPECT_EQ(offscreen.getPixel(corner), colourGrey) << corner.h << "," << corner.v;

    offscreen.setFillColour(colourRed);
    offscreen.fillArea(UiRect{9, 9, 20, 20});  // pixels 10..19
    surface->offset = UiPoint{5, 0};
    offscreen.copyTo(surface.get(), UiRect{0, 10, 20, 30}, UiPoint{10, 10});
    // Target at (0 + 5, 10), 20 by 20, from (10, 10) of the buffer, which is not shifted.
    EXPECT_TRUE(is(5, 10, colourRed));
    EXPECT_TRUE(is(14, 19, colourRed));
    EXPECT_TRUE(is(15, 20, colourGrey));
    EXPECT_TRUE(is(24, 29, colourGrey));
    EXPECT_TRUE(isBlack(25, 29));
    EXPECT_TRUE(isBlack(4, 10));
    EXPECT_TRUE(isBlack(5, 30));

    // A window surface copies into a buffer the other way round.
    OffscreenSurface buffer(window, 10, 10, colourBlack);
    buffer.copyFromSurface(surface.get(), UiRect{0, 10, 5, 15}, 2, 2);  // from (5, 10) of the window
    EXPECT_EQ(buffer.getPixel(UiPoint{2, 2}), colourRed);
    EXPECT_EQ(buffer.getPixel(UiPoint{1, 1}), colourBlack);
}

TEST_F(SurfaceShapeTest, OffscreenWithoutAChildWindowDrawsNowhere) {
    PluginWindow standalone(UiRect{0, 0, 50, 50}, "x", nullptr, 0);
    OffscreenSurface offscreen(&standalone, 10, 10, colourRed);
    EXPECT_EQ(offscreen.deviceContext, nullptr);
    offscreen.fillArea(UiRect{0, 0, 10, 10});
    offscreen.copyTo(surface.get(), UiRect{0, 0, 10, 10}, UiPoint{0, 0});
    EXPECT_TRUE(isBlack(5, 5));
}
