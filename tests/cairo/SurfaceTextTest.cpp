// Placement, background and clipping of drawText, and the metrics behind it, on the headless backend.
#include "tests/cairo/HeadlessFixture.h"

#include "gui/core/OffscreenSurface.h"
#include "gui/platform/cairo/HeadlessFont.h"

class SurfaceTextTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        surface->setFont(3, 0, 0);
        surface->setFontColour(colourWhite);
        surface->setFillColour(colourBlue);  // the opaque cell shows exactly where the text sits
    }

    // The opaque cell: bounds of the blue and the lit pixels.
    UiRect cell() const {
        UiRect box{};
        EXPECT_TRUE(litBox(box));
        return box;
    }
};

TEST_F(SurfaceTextTest, AlignmentPlacesTheTextCell) {
    const char* text = "Ab 12";
    const int32_t width = surface->getTextWidth(text);
    const int32_t height = static_cast<HeadlessFont*>(surface->ownFont)->cellHeight();
    ASSERT_GT(width, 10);
    ASSERT_GT(height, 10);

    surface->drawText(text, UiRect{0, 0, 100, 20}, true, AlignLeft);
    UiRect box = cell();
    EXPECT_EQ(box.left, 1);  // one pixel in from the left edge
    EXPECT_EQ(box.right, width);
    // Vertically the two halves are taken apart: top + 20 / 2 - height / 2.
    EXPECT_EQ(box.top, 10 - height / 2);
    EXPECT_EQ(box.bottom, 10 - height / 2 + height - 1);

    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->setFillColour(colourBlue);
    surface->drawText(text, UiRect{0, 30, 100, 60}, true, AlignCentre);
    box = cell();
    EXPECT_EQ(box.left, (100 - width) / 2);
    EXPECT_EQ(box.top, 30 + 15 - height / 2);

    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->setFillColour(colourBlue);
    surface->drawText(text, UiRect{0, 0, 100, 20}, true, AlignRight);
    box = cell();
    EXPECT_EQ(box.right, 99);
    EXPECT_EQ(box.left, 100 - width);
}

TEST_F(SurfaceTextTest, TransparentTextPaintsGlyphsOnlyAndHonoursTheOffset) {
    surface->offset = UiPoint{20, 10};
    surface->drawText("HH", UiRect{0, 0, 60, 30}, false, AlignLeft);
    EXPECT_EQ(countRgb(colourBlue), 0);
    UiRect box = cell();
    EXPECT_GE(box.left, 21);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.right, 80);
    EXPECT_LE(box.bottom, 40);
}

TEST_F(SurfaceTextTest, TextIsClippedToItsRectangle) {
    surface->drawText("WWWWWWWWWW", UiRect{10, 10, 30, 30}, true, AlignLeft);
    const UiRect box = cell();
    EXPECT_EQ(box.left, 11);
    EXPECT_EQ(box.right, 29);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.bottom, 29);
}

TEST_F(SurfaceTextTest, NullTextDrawsNothingAndEmptyTextHasNoWidth) {
    surface->drawText(nullptr, UiRect{0, 0, 100, 20}, true, AlignLeft);
    surface->drawText("", UiRect{0, 0, 100, 20}, true, AlignLeft);
    UiRect box;
    EXPECT_FALSE(litBox(box));
    EXPECT_EQ(surface->getTextWidth(""), 0);
    EXPECT_EQ(surface->getTextWidth(nullptr), 0);
}

TEST_F(SurfaceTextTest, FontsFollowTheTableThroughFontconfig) {
    HeadlessFont regular("Arial", 12, false, false, false, 34);
    HeadlessFont bold("Arial", 12, true, false, false, 34);
    // "Arial" resolves to a metric twin, never to whatever sans the system likes best.
    EXPECT_NE(regular.resolvedFamily().find("Liberation Sans"), std::string::npos) << regular.resolvedFamily();
    EXPECT_GT(bold.textWidth("Threshold"), regular.textWidth("Threshold"));
    // Arial's cell at 12 pixels: ascent 11, descent 3.
    EXPECT_EQ(regular.ascent(), 11);
    EXPECT_EQ(regular.descent(), 3);
    // Widths add up by whole pixels, as GDI's extents do.
    EXPECT_EQ(regular.textWidth("ab"), regular.textWidth("a") + regular.textWidth("b"));

    // A negative size asks for the whole cell, as a positive GDI height does: 16 pixels of cell is
    // Arial at 14 (ascent 13, descent 3).
    surface->setFont(3, -16, 0);
    EXPECT_EQ(static_cast<HeadlessFont*>(surface->ownFont)->emHeight(), 14);
    EXPECT_EQ(static_cast<HeadlessFont*>(surface->ownFont)->cellHeight(), 16);

    // Font 0 is bold whatever the style; the Symbol font shows Greek for Latin letters.
    surface->setFont(0, 0, 0);
    EXPECT_TRUE(static_cast<HeadlessFont*>(surface->ownFont)->isBold());
    HeadlessFont symbol("Symbol", 13, false, false, false, 80);
    EXPECT_EQ(symbol.toUtf8("a"), "\xCE\xB1");
    EXPECT_EQ(regular.toUtf8("\xB5s"), "\xC2\xB5s");  // code page 1252 micro sign
}

TEST_F(SurfaceTextTest, SmoothingFollowsTheFontsOwnTableLikeGdi) {
    // Liberation Sans asks for plain bilevel glyphs from 9 to 17 pixels and greyscale at 18.
    auto greyLevels = [this](int32_t fontId, int32_t style) {
        surface->setFillColour(colourBlack);
        surface->fillArea(UiRect{-1, -1, 120, 80});
        surface->setFont(fontId, 0, style);
        surface->drawText("Gain 12.5", UiRect{0, 0, 120, 40}, false, AlignLeft);
        int32_t grey = 0;
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 120; ++x) grey += !isBlack(x, y) && !is(x, y, colourWhite);
        return grey;
    };
    EXPECT_EQ(greyLevels(6, 0), 0);  // the editor's read-out font
    EXPECT_EQ(greyLevels(3, 0), 0);
    EXPECT_GT(greyLevels(1, 0), 0);  // 18 pixels
    EXPECT_GT(greyLevels(3, FontBold), 0);
}

TEST_F(SurfaceTextTest, MemoryContextDrawsBlackTextUntilAFontColourIsSet) {
    // The DrawSurface of an offscreen has no context when it is attached, so its text colour is the
    // memory context's default, black, until setFontColour.
    OffscreenSurface offscreen(window, 60, 20, colourWhite);
    offscreen.setFont(3, 0, 1);
    offscreen.drawText("HHHH", UiRect{0, 0, 60, 20}, false, AlignLeft);
    bool sawDark = false;
    for (int32_t x = 0; x < 60; ++x)
        for (int32_t y = 0; y < 20; ++y) sawDark |= offscreen.getPixel(UiPoint{x, y}).red < 64;
    EXPECT_TRUE(sawDark);
}

// Vertical placement for every font of the table in cells of odd and even height, taller and shorter
// than the font: the text sits at top + height / 2 - font height / 2, its two halves rounded apart.
// Measured on the glyph ink of "H", which mostly survives where the cell is clipped.
TEST_F(SurfaceTextTest, TextSitsAtTheCellsMiddleWhateverTheParity) {
    auto inkTop = [&](const UiRect& cell) {
        surface->setFillColour(colourBlack);
        surface->fillArea(UiRect{-1, -1, 120, 80});
        surface->setFillColour(colourBlue);
        surface->drawText("H", cell, true, AlignLeft);
        for (int32_t y = 0; y < child->height(); ++y)
            for (int32_t x = 0; x < child->width(); ++x)
                if (child->pixel(x, y).red > 128) return y;
        return -1;
    };
    for (int32_t font = 0; font < fontCount - 1; ++font) {
        surface->setFont(font, 0, 0);
        const int32_t height = static_cast<HeadlessFont*>(surface->ownFont)->cellHeight();
        const int32_t inkBelowCellTop = inkTop(UiRect{0, 10, 100, 70}) - (10 + 30 - height / 2);
        ASSERT_GE(inkBelowCellTop, 1) << "font " << font;
        for (int32_t cellHeight : {7, 8, 9, 10, 15, 16, 21, 22}) {
            const int32_t top = 30;
            // Ink the cell's clipping cuts off shows from the cell's top.
            EXPECT_EQ(inkTop(UiRect{0, top, 100, top + cellHeight}),
                      std::max(top, top + cellHeight / 2 - height / 2 + inkBelowCellTop))
                << "font " << font << " (" << height << " high) in a cell " << cellHeight << " high";
        }
    }
}
