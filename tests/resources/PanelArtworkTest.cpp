// PanelArtworkTest: the panel shows the control pictures exactly where the editor puts the controls.
#include <iterator>

#include "editor/PanelLayout.h"
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
    using namespace layout;
    for (int left : kKnobLefts) {
        EXPECT_EQ(compare(panel, strip, 0, kPaintedKnobFrame * kKnobHeight, kKnobWidth, kKnobHeight, left, kKnobTop), "")
            << "knob at " << left;
    }
}

TEST(PanelArtwork, ValueBarsAndMeterWindowsShowTheirPictures) {
    const BmpImage panel = loadBitmap(12), bar = loadBitmap(16);
    ASSERT_EQ(panel.error, "");
    ASSERT_EQ(bar.error, "");
    using namespace layout;
    const auto& lefts = kReadoutLefts;
    for (size_t i = 0; i < std::size(lefts); ++i) {
        // Neighbouring bars share a column; the later one drawn covers it, as the editor draws them.
        const bool covered = i + 1 < std::size(lefts) && lefts[i + 1] == lefts[i] + 50;
        EXPECT_EQ(compare(panel, bar, 0, 0, covered ? 50 : kReadoutWidth, kReadoutHeight, lefts[i], kReadoutTop), "") << "value bar at " << lefts[i];
    }
    // Meters: input and output idle unlit; the reduction meter at rest shows its unlit green picture.
    const BmpImage unlit = loadBitmap(15), greenUnlit = loadBitmap(25);
    const int w = kMeterWidth, h = kMeterHeight;
    EXPECT_EQ(compare(panel, unlit, 0, 0, w, h, kInputMeterLeft, kMeterTop), "");
    EXPECT_EQ(compare(panel, unlit, 0, 0, w, h, kOutputMeterLeft, kMeterTop), "");
    EXPECT_EQ(compare(panel, greenUnlit, 0, 0, w, h, kReductionMeterLeft, kMeterTop), "");
}
