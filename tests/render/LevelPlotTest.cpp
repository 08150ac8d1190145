// LevelPlotTest: the level plot spreads a file of any length over its whole width, without gaps, and shows
// a change of level where it happens in time, also when the file has fewer frames than the plot columns.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/render/LevelPlot.h"
#include "tools/render/RenderStats.h"

namespace {

// Where the levels panel sits in the picture.
constexpr int kPanelLeft = 90, kPanelWidth = 1080;
constexpr int kRowAt32Db = 217;  // between the grid lines of -30 and -40 dBFS

// The plot of a render whose input and output are the given signals (both channels alike).
class PlotPicture {
  public:
    PlotPicture(const std::vector<float>& input, const std::vector<float>& output) {
        RenderStats stats(1.0, static_cast<long long>(input.size()));
        const float* in[2] = {input.data(), input.data()};
        const float* out[2] = {output.data(), output.data()};
        stats.add(in, out, 2, static_cast<int>(input.size()));
        // Each test program runs its cases in processes of their own, at once: one file each.
        const std::string path = testing::TempDir() + "level-plot-test-" + std::to_string(getpid()) + ".png";
        LevelPlot::write(path, stats, 44100, "test");
        image = cairo_image_surface_create_from_png(path.c_str());
        EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
        std::remove(path.c_str());
    }
    ~PlotPicture() { cairo_surface_destroy(image); }

    // Leftmost and rightmost dark column in rows [top, bottom) between x0 and x1 (-1, -1 when none).
    std::pair<int, int> inkSpan(int x0, int x1, int top, int bottom) const {
        std::pair<int, int> span{-1, -1};
        for (int x = x0; x < x1; ++x)
            for (int y = top; y < bottom; ++y)
                if (red(x, y) < 128) {
                    if (span.first < 0) span.first = x;
                    span.second = x;
                }
        return span;
    }

    uint32_t red(int x, int y) const {
        const unsigned char* row =
            cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
        return (reinterpret_cast<const uint32_t*>(row)[x] >> 16) & 0xFF;
    }
    // Per plot column, whether the input level reaches above -32 dBFS there (the grey area covers the row).
    std::vector<bool> loudColumns() const {
        std::vector<bool> loud;
        for (int x = 0; x < kPanelWidth; ++x) loud.push_back(red(kPanelLeft + x, kRowAt32Db) < 200);
        return loud;
    }

  private:
    cairo_surface_t* image;
};

}  // namespace

TEST(LevelPlotTest, ColumnsCoverTheFileWithoutGapsWhateverItsLength) {
    for (size_t frames : {1, 2, 7, 500, 1079, 1080, 1081, 2160, 4001, 100000}) {
        // Silent first half, loud second half.
        std::vector<float> signal(frames, 0.0f);
        std::fill(signal.begin() + long(frames / 2), signal.end(), 0.5f);
        const std::vector<bool> loud = PlotPicture(signal, signal).loudColumns();

        // The panel's border takes the outermost columns.
        int firstLoud = -1;
        for (int x = 1; x < kPanelWidth - 1 && firstLoud < 0; ++x)
            if (loud[size_t(x)]) firstLoud = x;
        ASSERT_GE(firstLoud, 1) << frames << " frames: nothing loud";
        for (int x = firstLoud; x < kPanelWidth - 1; ++x)
            ASSERT_TRUE(loud[size_t(x)]) << frames << " frames: gap at " << x;
        const double expected = double(kPanelWidth) * double(frames / 2) / double(frames);
        // A bin of several frames that the change falls into shows loud as a whole.
        const size_t binFrames = (frames + 1999) / 2000;
        const double binWidth =
            binFrames > 1 ? double(kPanelWidth) * double(binFrames) / double(frames) : 0.0;
        EXPECT_NEAR(firstLoud, expected, binWidth + 2.0) << frames << " frames";
    }
}

// Levels above full scale and reductions beyond the panel's range are drawn at the panels' edges: the
// rows just outside them keep the picture's background.
TEST(LevelPlotTest, ExtremesStayInsideTheirPanels) {
    std::vector<float> input(4000, 0.001f), output(4000, 0.001f);
    for (size_t i = 1000; i < 3000; ++i) {
        input[i] = 2.0f;      // +6 dBFS
        output[i] = 2.0e-6f;  // 120 dB of reduction on a 60 dB scale
    }
    const PlotPicture plot(input, output);
    const int aboveLevels = 50, belowReduction = 582;  // between the panels and the title and time labels
    for (int x = kPanelLeft + 300; x < kPanelLeft + 800; x += 50) {
        EXPECT_EQ(plot.red(x, aboveLevels), 243u) << x;  // the background, 0.95 grey
        EXPECT_EQ(plot.red(x, belowReduction), 243u) << x;
    }
}

// The time axis ends at the file's length: the last label sits under the panel's right edge and reads it.
TEST(LevelPlotTest, LastTimeLabelReadsTheFileLength) {
    const std::pair<size_t, const char*> cases[] = {{4410, "0.1"}, {44100, "1"}, {441000, "10"}};
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    cairo_t* cr = cairo_create(scratch);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
    for (const auto& c : cases) {
        const std::vector<float> signal(c.first, 0.5f);
        const PlotPicture plot(signal, signal);
        const int edge = kPanelLeft + kPanelWidth, labelTop = 586, labelBottom = 604;
        const std::pair<int, int> ink = plot.inkSpan(edge - 40, edge + 30, labelTop, labelBottom);
        cairo_text_extents_t e;
        cairo_text_extents(cr, c.second, &e);
        ASSERT_GE(ink.first, 0) << c.second << ": no label at the end";
        EXPECT_NEAR((ink.first + ink.second + 1) / 2.0, edge, 2.0) << c.second;
        EXPECT_NEAR(ink.second + 1 - ink.first, e.width, 2.0) << c.second;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
}
