// DemoTest: the README's first command, vozuv-render without arguments, from a fresh folder.
#include <cairo.h>

#include <fstream>
#include <sstream>

#include "tests/render/RenderTestSupport.h"

namespace {

double largestReduction(const std::string& summary) {
    const std::string key = "gain reduction: largest ";
    const size_t at = summary.find(key);
    return at == std::string::npos ? -1.0 : std::stod(summary.substr(at + key.size()));
}

// withEditor: the demo also saves the editor's picture.
void expectDemoFolder(const std::string& dir, const CommandResult& r, bool withEditor) {
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> files = {"input.wav", "levels.png", "output.wav", "summary.txt"};
    if (withEditor) files.insert(files.begin(), "editor.png");
    EXPECT_EQ(listDir(dir + "/vozuv-demo"), files);
    std::ifstream file(dir + "/vozuv-demo/summary.txt");
    std::stringstream summary;
    summary << file.rdbuf();
    EXPECT_NE(r.out.find(summary.str()), std::string::npos);
    // Audible compression: the loud passage and the hits lose well over 6 dB.
    EXPECT_GT(largestReduction(summary.str()), 6.0) << summary.str();
    const Audio out = readAudio(dir + "/vozuv-demo/output.wav");
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.frames(), 12 * 44100);
    cairo_surface_t* plot = cairo_image_surface_create_from_png((dir + "/vozuv-demo/levels.png").c_str());
    EXPECT_EQ(cairo_surface_status(plot), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(plot), 1200);
    EXPECT_EQ(cairo_image_surface_get_height(plot), 640);
    cairo_surface_destroy(plot);
    const bool mentioned = summary.str().find("editor:         vozuv-demo/editor.png (762 x 104;") != std::string::npos;
    EXPECT_EQ(mentioned, withEditor) << summary.str();
    if (withEditor) {
        EXPECT_NE(r.out.find("(input.wav, output.wav, levels.png, editor.png, summary.txt)"), std::string::npos);
        cairo_surface_t* editor = cairo_image_surface_create_from_png((dir + "/vozuv-demo/editor.png").c_str());
        EXPECT_EQ(cairo_image_surface_get_width(editor), 762);
        EXPECT_EQ(cairo_image_surface_get_height(editor), 104);
        cairo_surface_destroy(editor);
    }
}

TEST(DemoTest, DemoRunsThroughTheNativeLibrary) {
    SKIP_WITHOUT_NATIVE();
    const std::string dir = scratchDir();
    const CommandResult r = runRender({"--plugin", nativePlugin()}, dir);
    expectDemoFolder(dir, r, true);
    EXPECT_NE(r.out.find("native library"), std::string::npos);
}

TEST(DemoTest, DemoRunsThroughTheDllWithAFreshWinePrefix) {
    SKIP_WITHOUT_WIN32();
    const std::string dir = scratchDir();
    const CommandResult r = runRender({}, dir, {{"WINEPREFIX", dir + "/prefix"}});
    expectDemoFolder(dir, r, true);
    EXPECT_NE(r.out.find("32-bit DLL"), std::string::npos);
}

}  // namespace
