// RenderEditorScreenshotTest: vozuv-render --editor-screenshot through the 32-bit DLL under Wine and through
// the native library in an X11 window: the picture
// is the editor at its size, its knobs show the film-strip frames of the parameter values and its
// meters the levels of the end of the render.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "editor/PanelLayout.h"
#include "gui/core/UiScale.h"
#include "tests/render/RenderTestSupport.h"
#include "base/BmpImage.h"

namespace {

// A picture as 0xRRGGBB values, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The editor's bitmaps as the module carries them.
Image loadBitmap(const std::string& name) {
    std::ifstream in(std::string(VOZUV_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const BmpImage bitmap = BmpImage::decode(b.data(), b.size());
    if (!bitmap.error.empty()) {
        ADD_FAILURE() << name << ": " << bitmap.error;
        return Image{};
    }
    Image image;
    image.width = bitmap.width;
    image.height = bitmap.height;
    image.pixels = bitmap.pixels;
    return image;
}

Image loadPng(const std::string& path) {
    Image image;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        image.width = cairo_image_surface_get_width(s);
        image.height = cairo_image_surface_get_height(s);
        const uint8_t* data = cairo_image_surface_get_data(s);
        for (int y = 0; y < image.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s));
            for (int x = 0; x < image.width; ++x) image.pixels.push_back(row[x] & 0xffffff);
        }
    }
    cairo_surface_destroy(s);
    return image;
}

// Pixels of `shot` in the w x h box at (x, y) that differ from `source` at (sx, sy).
int differences(const Image& shot, int x, int y, const Image& source, int sx, int sy, int w, int h) {
    int count = 0;
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) count += shot.at(x + i, y + j) != source.at(sx + i, sy + j);
    }
    return count;
}

// One letter per segment (8 units) of the meter whose left edge is at unit x: 'L' as in `lit`, '.' as in
// `unlit`, '?' as in neither; positions at the picture's scale.
std::string meterSegments(const Image& shot, int x, const Image& lit, const Image& unlit, int zoom) {
    std::string segments;
    const int top = uiscale::toDevice(layout::kMeterTop, zoom), w = lit.width / 12, h = lit.height;
    for (int s = 0; s < 12; ++s) {
        const int left = uiscale::toDevice(x, zoom) + w * s;
        if (differences(shot, left, top, lit, w * s, 0, w, h) == 0) {
            segments += 'L';
        } else if (differences(shot, left, top, unlit, w * s, 0, w, h) == 0) {
            segments += '.';
        } else {
            segments += '?';
        }
    }
    return segments;
}

// The frame a film-strip knob of 65 frames of 37 rows shows for a value.
int knobFrame(float value) {
    const int row = static_cast<int>(2368.0f * value);
    return row / 37;
}

// The picture of a render with pluginArgs (empty: the product DLL) in the environment env, the editor at
// zoom percent: at every scale the same scene, drawn from the artwork made for that scale.
void expectEditorPicture(const std::vector<std::string>& pluginArgs,
                         const std::vector<std::pair<std::string, std::string>>& env, int zoom = 100) {
    auto px = [zoom](int unit) { return uiscale::toDevice(unit, zoom); };
    const std::string suffix = zoom == 100 ? ".bmp" : "_" + std::to_string(zoom) + ".bmp";
    // A square wave, so every frame peaks alike: 0.8, then 0.3 for the last 1024 frames. The meters show
    // the last block once they have fallen from the loud part.
    Audio loud;
    loud.sampleRate = 44100;
    loud.channels = 2;
    for (int i = 0; i < 26460; ++i) {
        const float level = i < 26460 - 1024 ? 0.8f : 0.3f;
        const float v = (i / 50) % 2 ? level : -level;
        loud.samples.insert(loud.samples.end(), {v, v});
    }
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", loud);
    const std::vector<std::pair<std::string, float>> knobs = {
        {"InputGain", 0.5f}, {"LPShelf", 1.0f},    {"HPShelf", 0.0f},      {"CompThreshold", 0.3f},
        {"CompRatio", 0.8f}, {"CompAttack", 0.1f}, {"CompRelease", 0.15f}, {"CompMakeup", 0.7f}};
    // What the knobs show: the effect's values, CompRatio clamped to 0.33.
    const float shown[8] = {0.5f, 1.0f, 0.0f, 0.3f, 0.33f, 0.1f, 0.15f, 0.7f};
    std::vector<std::string> args = {"--editor-screenshot", "editor.png", "in.wav", "out.wav"};
    if (zoom != 100) args.insert(args.begin(), {"--zoom", std::to_string(zoom)});
    for (const auto& k : knobs)
        args.insert(args.begin(), {"--set", k.first + "=" + std::to_string(k.second)});
    args.insert(args.begin(), pluginArgs.begin(), pluginArgs.end());
    const CommandResult r = runRender(args, dir, env);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string size = std::to_string(px(762)) + " x " + std::to_string(px(104));
    EXPECT_NE(r.out.find("editor:         editor.png (" + size + "; the last 0.60 s played with the editor open)"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"editor.png", "in.wav", "out.wav"}));
    // The audio played with the editor open is the render's own.
    EXPECT_LE(largestDifference(readAudio(dir + "/out.wav"), processInProcess(loud, 512, 0, knobs)), 1e-6);

    const Image shot = loadPng(dir + "/editor.png");
    ASSERT_EQ(shot.width, px(762));
    ASSERT_EQ(shot.height, px(104));

    // Outside the controls the window shows the panel, untouched.
    const Image panel = loadBitmap("panel" + suffix);
    ASSERT_EQ(panel.width, px(762));
    auto inside = [&px](int x, int y, int left, int top, int width, int height) {
        return x >= px(left) && x < px(left + width) && y >= px(top) && y < px(top + height);
    };
    auto covered = [&](int x, int y) {
        using namespace layout;
        for (const int p : kControlledParameters) {
            if (inside(x, y, kKnobLeft(p), kKnobTop, kKnobWidth, kKnobHeight)) return true;
            if (inside(x, y, kReadoutLeft(p), kReadoutTop, kReadoutWidth, kReadoutHeight)) return true;
        }
        for (int meter : {kInputMeterLeft, kReductionMeterLeft, kOutputMeterLeft}) {
            if (inside(x, y, meter, kMeterTop, kMeterWidth, kMeterHeight)) return true;
        }
        return false;
    };
    int panelDifferences = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) panelDifferences += !covered(x, y) && shot.at(x, y) != panel.at(x, y);
    }
    EXPECT_EQ(panelDifferences, 0);

    const Image strip = loadBitmap("knob_strip" + suffix);
    const int frameHeight = px(39 + 37) - px(39);
    ASSERT_EQ(strip.height, 65 * frameHeight);
    for (int k = 0; k < 8; ++k) {
        const int frame = knobFrame(shown[k]);
        EXPECT_EQ(differences(shot, px(layout::kKnobLeft(layout::kControlledParameters[k])), px(39), strip, 0,
                              frame * frameHeight, strip.width, frameHeight),
                  0)
            << knobs[k].first << " should show frame " << frame;
    }

    // Read-outs: dark blue text, centred on the light bar under every knob.
    for (const int parameter : layout::kControlledParameters) {
        const int left = layout::kReadoutLeft(parameter);
        int text = 0, first = shot.width, last = -1;
        for (int y = px(83); y < px(92); ++y) {
            for (int x = px(left); x < px(left + 51); ++x) {
                const uint32_t p = shot.at(x, y);
                if ((p >> 16) < 80 && ((p >> 8) & 0xff) < 80 && (p & 0xff) >= 100) {
                    ++text;
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        EXPECT_GE(text, 5) << "read-out at " << left;
        EXPECT_NEAR((first + last) / 2.0, (px(left) + px(left + 51) - 1) / 2.0, px(2)) << "read-out at " << left;
    }

    // Input meter: 0.3 lights 4 of 12 segments. Reduction meter (lit = reduction from the right): the
    // detector level still near 0.8, 40 dB above a -42 dB threshold at 10.6:1, the gain is far below a
    // twelfth, all lit.
    // Output meter: compressed, so fewer segments than the input, lit from the left.
    const Image lit = loadBitmap("meter_lit" + suffix), unlit = loadBitmap("meter_unlit" + suffix);
    const Image greenLit = loadBitmap("meter_green_lit" + suffix),
                greenUnlit = loadBitmap("meter_green_unlit" + suffix);
    EXPECT_EQ(meterSegments(shot, 154, lit, unlit, zoom), "LLLL........");
    EXPECT_EQ(meterSegments(shot, 421, greenLit, greenUnlit, zoom), "LLLLLLLLLLLL");
    const std::string output = meterSegments(shot, 570, lit, unlit, zoom);
    const size_t outputLit = output.find_first_not_of('L');
    EXPECT_EQ(output.find_first_not_of('.', outputLit == std::string::npos ? 12 : outputLit),
              std::string::npos)
        << output;
    EXPECT_LT(outputLit, 4u) << output;
}

TEST(RenderEditorScreenshotTest, KnobsShowTheParameterValuesAndMetersTheLevelsAtTheEnd) {
    SKIP_WITHOUT_WIN32();
    expectEditorPicture({}, {});
}

// The native library's editor in an X11 window, on a private X server when DISPLAY is not set.
TEST(RenderEditorScreenshotTest, NativeLibraryShowsTheSamePictureThroughX11) {
    SKIP_WITHOUT_NATIVE();
    expectEditorPicture({"--plugin", nativePlugin()}, {{"DISPLAY", ""}});
}

// --zoom 200: both binaries show the scene of 100 %, drawn from the 200 % artwork, as the headless
// backend does (EditorScaleTest).
TEST(RenderEditorScreenshotTest, At200PercentTheDllAndTheLibraryShowThe200PercentArtwork) {
    SKIP_WITHOUT_WIN32();
    expectEditorPicture({}, {}, 200);
    SKIP_WITHOUT_NATIVE();
    expectEditorPicture({"--plugin", nativePlugin()}, {{"DISPLAY", ""}}, 200);
}

}  // namespace
