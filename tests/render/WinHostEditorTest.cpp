// WinHostEditorTest: vozuv-winhost opens the DLL's editor in a window of the editor's size under Wine
// and saves its pixels.
#include <cairo.h>

#include <cstdlib>
#include <set>

#include "tests/render/RenderTestSupport.h"

namespace {

TEST(WinHostEditorTest, EditorScreenshotHasTheEditorsSizeAndPicture) {
    SKIP_WITHOUT_WIN32();
    const std::string dir = scratchDir();
    const std::string png = dir + "/editor.png";
    const std::string command = std::string(VOZUV_SCRIPTS_DIR) + "/wine-run.sh " + win32WinHost() + " --editor " +
                                win32Dll() + " --screenshot " + png + " --seconds 1 > " + dir + "/log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    const int width = cairo_image_surface_get_width(s), height = cairo_image_surface_get_height(s);
    EXPECT_EQ(width, 762);
    EXPECT_EQ(height, 104);
    // A painted panel, not an empty window: many colours, and not the host window's own background.
    std::set<uint32_t> colours;
    const uint8_t* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            colours.insert(*reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s) + 4 * x) &
                           0xffffff);
        }
    }
    EXPECT_GT(colours.size(), 100u);
    cairo_surface_destroy(s);
    EXPECT_FALSE(fileExists(png + ".partial"));
}

}  // namespace
