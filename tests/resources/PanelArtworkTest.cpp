// PanelArtworkTest: the panel shows the control pictures exactly where the editor puts the controls.
#include <iterator>

#include "tests/resources/ResourceFixture.h"

namespace {

// Pixels of `part` (sx, sy, w, h) against the panel at (dx, dy); returns the first mismatch as text.
std::string compare(const BmpImage& panel, const BmpImage& part, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (panel.at(dx + x, dy + y) != part.at(sx + x, sy + y)) {
                return "differs at panel " + std::to_string(dx + x) + "," + std::to_string(dy + y);
            }
        }
    }
    return "";
}

}  // namespace

TEST(PanelArtwork, EveryKnobPlaceShowsFrame22OfTheStrip) {
    const BmpImage panel = loadBitmap(12), strip = loadBitmap(13);
    ASSERT_EQ(panel.error, "");
    ASSERT_EQ(strip.error, "");
    // Gain, two filters, three painted gate knobs, five compressor knobs.
    for (int left : {99, 157, 207, 265, 315, 365, 423, 473, 523, 573, 623}) {
        EXPECT_EQ(compare(panel, strip, 0, 22 * 37, 42, 37, left, 39), "") << "knob at " << left;
    }
}

TEST(PanelArtwork, ValueBarsAndMeterWindowsShowTheirPictures) {
    const BmpImage panel = loadBitmap(12), bar = loadBitmap(16);
    ASSERT_EQ(panel.error, "");
    ASSERT_EQ(bar.error, "");
    const int lefts[] = {94, 152, 202, 260, 310, 360, 418, 468, 518, 568, 618};
    for (size_t i = 0; i < std::size(lefts); ++i) {
        // Neighbouring bars share a column; the later one drawn covers it, as the editor draws them.
        const bool covered = i + 1 < std::size(lefts) && lefts[i + 1] == lefts[i] + 50;
        EXPECT_EQ(compare(panel, bar, 0, 0, covered ? 50 : 51, 9, lefts[i], 83), "") << "value bar at " << lefts[i];
    }
    // Meters: input and output idle unlit; the reduction meter at rest shows its unlit green picture.
    const BmpImage unlit = loadBitmap(15), greenUnlit = loadBitmap(25);
    EXPECT_EQ(compare(panel, unlit, 0, 0, 96, 6, 154, 12), "");
    EXPECT_EQ(compare(panel, unlit, 0, 0, 96, 6, 570, 12), "");
    EXPECT_EQ(compare(panel, greenUnlit, 0, 0, 96, 6, 421, 12), "");
}
