// Loading pixmaps from resources and drawing them plainly, transparently, blended and through a mask.
#include "tests/cairo/HeadlessFixture.h"

#include "gui/core/Pixmap.h"
#include "gui/platform/cairo/HeadlessResources.h"
#include "tools/bmpfile/BmpWriter.h"

namespace {

constexpr int32_t testId = 900;

// 60 by 100: pixel (x, y) is (x, y, 7) except a white column at x = 5 and a magenta square at 20..29.
std::vector<unsigned char> makePicture() {
    std::vector<uint32_t> pixels(60 * 100);
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            uint32_t p = uint32_t(x) << 16 | uint32_t(y) << 8 | 7;
            if (x == 5) p = 0xFFFFFF;
            if (x >= 20 && x < 30 && y >= 20 && y < 30) p = 0xFF00FF;
            pixels[size_t(y) * 60 + x] = p;
        }
    }
    return BmpWriter::rgb24(60, 100, pixels);
}

}  // namespace

class PixmapDrawTest : public HeadlessFixture {
protected:
    void SetUp() override {
        picture = makePicture();
        HeadlessResources::add(testId, picture.data(), picture.size());
        HeadlessFixture::SetUp();
        pixmap = new Pixmap(testId);
    }
    void TearDown() override {
        pixmap->release();
        HeadlessFixture::TearDown();
        HeadlessResources::remove(testId);
    }

    std::vector<unsigned char> picture;
    Pixmap* pixmap = nullptr;
};

TEST_F(PixmapDrawTest, LoadsByTheLowSixteenBitsOfItsId) {
    EXPECT_TRUE(pixmap->isLoaded());
    EXPECT_EQ(pixmap->getWidth(), 60);
    EXPECT_EQ(pixmap->getHeight(), 100);

    Pixmap* high = new Pixmap(65536 + testId);
    EXPECT_TRUE(high->isLoaded());
    EXPECT_EQ(high->getResourceId(), 65536 + testId);
    high->release();

    Pixmap* missing = new Pixmap(4321);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);
    missing->draw(surface.get(), UiRect{0, 0, 50, 50}, UiPoint{0, 0});
    missing->drawTransparent(surface.get(), UiRect{0, 0, 50, 50}, UiPoint{0, 0});
    UiRect box;
    EXPECT_FALSE(litBox(box));
    missing->release();
}

// Loading reads the size alone: an editor that is never opened decodes no pixels. The first drawing
// makes the image, and drawing again uses the same one.
TEST_F(PixmapDrawTest, PixelsAreDecodedAtTheFirstDrawingOnly) {
    EXPECT_EQ(pixmap->bitmap, nullptr);
    pixmap->draw(surface.get(), UiRect{0, 0, 10, 10}, UiPoint{0, 0});
    const NativeHandle made = pixmap->bitmap;
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(is(1, 1, UiColor{1, 1, 7, 0}));
    pixmap->draw(surface.get(), UiRect{0, 0, 10, 10}, UiPoint{0, 0});
    EXPECT_EQ(pixmap->bitmap, made);
}

TEST_F(PixmapDrawTest, DrawCopiesTheSourceRectangleFromItsOffset) {
    // Area (10, 10, 52, 50) from (0, 40): rows 40..79 and columns 0..41 land at (10, 10).
    pixmap->draw(surface.get(), UiRect{10, 10, 52, 50}, UiPoint{0, 40});
    EXPECT_TRUE(is(10, 10, UiColor{0, 40, 7, 0}));
    EXPECT_TRUE(is(51, 49, UiColor{41, 79, 7, 0}));
    EXPECT_TRUE(is(15, 20, colourWhite));  // the white column is copied too
    EXPECT_TRUE(isBlack(52, 49));
    EXPECT_TRUE(isBlack(51, 50));
    EXPECT_TRUE(isBlack(9, 10));

    // The surface offset shifts the destination.
    surface->offset = UiPoint{60, 0};
    pixmap->draw(surface.get(), UiRect{0, 0, 2, 2}, UiPoint{3, 3});
    EXPECT_TRUE(is(60, 0, UiColor{3, 3, 7, 0}));
}

TEST_F(PixmapDrawTest, SourceBeyondThePictureLeavesTheDestination) {
    pixmap->draw(surface.get(), UiRect{0, 0, 20, 20}, UiPoint{50, 90});
    EXPECT_TRUE(is(9, 9, UiColor{59, 99, 7, 0}));
    EXPECT_TRUE(isBlack(10, 9));
    EXPECT_TRUE(isBlack(9, 10));
}

TEST_F(PixmapDrawTest, TransparentDrawingLeavesOutOneColour) {
    surface->setFillColour(colourGrey);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    pixmap->drawTransparent(surface.get(), UiRect{0, 0, 40, 40}, UiPoint{0, 0});
    EXPECT_TRUE(is(5, 10, colourGrey));  // the white column is left out by default
    EXPECT_TRUE(is(4, 10, UiColor{4, 10, 7, 0}));
    EXPECT_TRUE(is(25, 25, colourMagenta));

    pixmap->setTransparentColour(colourMagenta);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    pixmap->drawTransparent(surface.get(), UiRect{0, 0, 40, 40}, UiPoint{0, 0});
    EXPECT_TRUE(is(5, 10, colourWhite));
    EXPECT_TRUE(is(25, 25, colourGrey));
}

TEST_F(PixmapDrawTest, BlendingMixesWithAConstantOpacity) {
    surface->setFillColour(UiColor{200, 100, 0, 0});
    surface->fillArea(UiRect{-1, -1, 120, 80});
    pixmap->drawBlended(surface.get(), UiRect{0, 0, 10, 10}, UiPoint{0, 0}, 128);
    // source (4, 4, 7) over (200, 100, 0) at 128/255, rounded
    const UiColor mixed = at(4, 4);
    EXPECT_EQ(mixed.red, (4 * 128 + 200 * 127 + 127) / 255);
    EXPECT_EQ(mixed.green, (4 * 128 + 100 * 127 + 127) / 255);
    EXPECT_EQ(mixed.blue, (7 * 128 + 127) / 255);

    pixmap->drawBlended(surface.get(), UiRect{20, 0, 30, 10}, UiPoint{0, 0}, 255);
    EXPECT_TRUE(is(24, 4, UiColor{4, 4, 7, 0}));
    pixmap->drawBlended(surface.get(), UiRect{40, 0, 50, 10}, UiPoint{0, 0}, 0);
    EXPECT_TRUE(is(44, 4, UiColor{200, 100, 0, 0}));
}

TEST_F(PixmapDrawTest, AMaskFromTheSurfaceDecidesInsteadOfTheColour) {
    // What the surface shows at (0, 0): white everywhere but a black block at 0..9, 0..9.
    surface->setFillColour(colourWhite);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 10, 10});
    pixmap->buildMask(surface.get(), UiPoint{0, 0});

    // The mask keeps the destination where the surface was white, so only the block is drawn.
    surface->setFillColour(colourGrey);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    pixmap->drawTransparent(surface.get(), UiRect{50, 0, 110, 60}, UiPoint{0, 0});
    EXPECT_TRUE(is(55, 5, colourWhite));  // the white column inside the block is drawn
    EXPECT_TRUE(is(52, 3, UiColor{2, 3, 7, 0}));
    EXPECT_TRUE(is(65, 15, colourGrey));
}
