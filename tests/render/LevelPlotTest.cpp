// LevelPlotTest: the level plot spreads a file of any length over its whole width, without gaps, and shows
// a change of level where it happens in time, also when the file has fewer frames than the plot columns.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/render/LevelPlot.h"
#include "tools/render/RenderStats.h"

namespace {

// Where the levels panel sits in the picture.
constexpr int kPanelLeft = 90, kPanelWidth = 1080;
constexpr int kRowAt32Db = 217;  // between the grid lines of -30 and -40 dBFS

// Per plot column, whether the input level reaches above -32 dBFS there (the grey area covers the row).
std::vector<bool> loudColumns(const std::vector<float>& signal) {
    RenderStats stats(1.0, static_cast<long long>(signal.size()));
    const float* channels[2] = {signal.data(), signal.data()};
    stats.add(channels, channels, 2, static_cast<int>(signal.size()));
    const std::string path = testing::TempDir() + "level-plot-test.png";
    LevelPlot::write(path, stats, 44100, "test");

    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    std::vector<bool> loud;
    const unsigned char* row = cairo_image_surface_get_data(image) + kRowAt32Db * cairo_image_surface_get_stride(image);
    for (int x = 0; x < kPanelWidth; ++x) {
        const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[kPanelLeft + x];
        loud.push_back(((pixel >> 16) & 0xFF) < 200);  // grey 184 under the area, white or grid above it
    }
    cairo_surface_destroy(image);
    std::remove(path.c_str());
    return loud;
}

}  // namespace

TEST(LevelPlotTest, ColumnsCoverTheFileWithoutGapsWhateverItsLength) {
    for (size_t frames : {1, 2, 7, 500, 1079, 1080, 1081, 2160, 4001, 100000}) {
        // Silent first half, loud second half.
        std::vector<float> signal(frames, 0.0f);
        std::fill(signal.begin() + long(frames / 2), signal.end(), 0.5f);
        const std::vector<bool> loud = loudColumns(signal);

        // The panel's border takes the outermost columns.
        int firstLoud = -1;
        for (int x = 1; x < kPanelWidth - 1 && firstLoud < 0; ++x)
            if (loud[size_t(x)]) firstLoud = x;
        ASSERT_GE(firstLoud, 1) << frames << " frames: nothing loud";
        for (int x = firstLoud; x < kPanelWidth - 1; ++x) ASSERT_TRUE(loud[size_t(x)]) << frames << " frames: gap at " << x;
        const double expected = double(kPanelWidth) * double(frames / 2) / double(frames);
        // A bin of several frames that the change falls into shows loud as a whole.
        const size_t binFrames = (frames + 1999) / 2000;
        const double binWidth = binFrames > 1 ? double(kPanelWidth) * double(binFrames) / double(frames) : 0.0;
        EXPECT_NEAR(firstLoud, expected, binWidth + 2.0) << frames << " frames";
    }
}
