// PanelArtworkTest: the panel shows the control pictures exactly where the editor puts the controls.
#include <algorithm>
#include <iterator>

#include "editor/PanelLayout.h"
#include "gui/core/UiScale.h"
#include "tests/resources/ResourceFixture.h"

namespace {

int px(int unit, int percent) { return uiscale::toDevice(unit, percent); }

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

// Every scale's panel, at the device places the toolkit maps the controls to (uiscale::toDevice).
TEST(PanelArtwork, EveryKnobPlaceShowsFrame22OfTheStrip) {
    using namespace layout;
    for (int percent : uiscale::kSteps) {
        const BmpImage panel = loadBitmap(uiscale::scaledResourceId(12, percent));
        const BmpImage strip = loadBitmap(uiscale::scaledResourceId(13, percent));
        ASSERT_EQ(panel.error, "");
        ASSERT_EQ(strip.error, "");
        const int frame = strip.height / kKnobFrames;
        ASSERT_EQ(frame, px(kKnobTop + kKnobHeight, percent) - px(kKnobTop, percent));
        // Gain, two filters, three painted gate knobs, five compressor knobs.
        for (int left : kKnobLefts) {
            EXPECT_EQ(compare(panel, strip, 0, kPaintedKnobFrame * frame, strip.width, frame, px(left, percent),
                              px(kKnobTop, percent)), "")
                << "knob at " << left << ", " << percent << " %";
        }
    }
}

TEST(PanelArtwork, ValueBarsAndMeterWindowsShowTheirPictures) {
    using namespace layout;
    for (int percent : uiscale::kSteps) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        auto id = [percent](int base) { return uiscale::scaledResourceId(base, percent); };
        const BmpImage panel = loadBitmap(id(12)), bar = loadBitmap(id(16));
        ASSERT_EQ(panel.error, "");
        ASSERT_EQ(bar.error, "");
        const auto& lefts = kReadoutLefts;
        const int top = px(kReadoutTop, percent);
        for (size_t i = 0; i < std::size(lefts); ++i) {
            // Neighbouring bars share a column; the later one drawn covers it, as the editor draws them.
            int width = bar.width;
            if (i + 1 < std::size(lefts)) width = std::min(width, px(lefts[i + 1], percent) - px(lefts[i], percent));
            EXPECT_EQ(compare(panel, bar, 0, 0, width, bar.height, px(lefts[i], percent), top), "")
                << "value bar at " << lefts[i];
        }
        // Meters: input and output idle unlit; the reduction meter at rest shows its unlit green picture.
        const BmpImage unlit = loadBitmap(id(15)), greenUnlit = loadBitmap(id(25));
        const int w = unlit.width, h = unlit.height, meterTop = px(kMeterTop, percent);
        EXPECT_EQ(compare(panel, unlit, 0, 0, w, h, px(kInputMeterLeft, percent), meterTop), "");
        EXPECT_EQ(compare(panel, unlit, 0, 0, w, h, px(kOutputMeterLeft, percent), meterTop), "");
        EXPECT_EQ(compare(panel, greenUnlit, 0, 0, w, h, px(kReductionMeterLeft, percent), meterTop), "");
    }
}
