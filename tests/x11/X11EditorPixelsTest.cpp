// The editor's X11 window shows exactly the headless backend's pixels, before and after host changes,
// and audio on another thread moves its meters.
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/x11/X11Session.h"
#include "tools/pngencoder/PngEncoder.h"

TEST(X11EditorPixelsTest, ChildWindowShowsTheHeadlessPictureAndFollowsHostSets) {
    NativeInstance native;
    native.openEditor();
    HeadlessReference reference;
    ASSERT_EQ(native.window->childCount(), 1);

    X11Picture picture;
    long difference = 0;
    const bool equal = native.window->idleUntil([&] {
        if (!native.window->capture(picture)) return false;
        difference = reference.firstDifference(picture);
        return difference < 0;
    });
    if (!equal) {
        PngEncoder::writeFile("x11-editor.png", picture.rgb.data(), picture.width, picture.height, 3);
        reference.child()->writePng("x11-editor-expected.png");
    }
    EXPECT_TRUE(equal) << "first different pixel at " << difference % 762 << "," << difference / 762;
    EXPECT_EQ(picture.width, 762);
    EXPECT_EQ(picture.height, 104);

    // A host automation set shows at the next idle: the knob and its read-out, pixel for pixel.
    native.host.setParameter(7, 0.2f);
    reference.setParameter(7, 0.2f);
    native.window->idle();
    ASSERT_TRUE(native.window->capture(picture));
    difference = reference.firstDifference(picture);
    EXPECT_LT(difference, 0) << "first different pixel at " << difference % 762 << "," << difference / 762;
}

TEST(X11EditorPixelsTest, AudioOnAnotherThreadMovesTheMeters) {
    NativeInstance native;
    native.openEditor();
    X11Picture quiet;
    ASSERT_TRUE(native.window->idleUntil([&] { return native.window->capture(quiet); }));

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> in(256), out0(256), out1(256);
        for (size_t i = 0; i < in.size(); ++i) in[i] = 0.9f * float(std::sin(0.05 * double(i)));
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out0.data(), out1.data()};
        while (!stop.load()) {
            native.host.processBlocks(inputs, outputs, 2, 256, 256);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    // The input meter sits in the top strip of the panel; any change of it there counts.
    auto metersMoved = [&] {
        X11Picture now;
        if (!native.window->capture(now)) return false;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < now.width; ++x)
                if (now.pixel(x, y) != quiet.pixel(x, y)) return true;
        return false;
    };
    const bool moved = native.window->idleUntil(metersMoved);
    stop = true;
    audio.join();
    EXPECT_TRUE(moved);
}

// Areas another client spoils and the server then reports exposed are painted again wherever they lie,
// several at once and far from the window's origin.
TEST(X11EditorPixelsTest, ExposedAreasArePaintedAgainWhereverTheyLie) {
    NativeInstance native;
    native.openEditor();
    HeadlessReference reference;
    X11Picture picture;
    auto showsThePanel = [&] { return native.window->capture(picture) && reference.firstDifference(picture) < 0; };
    ASSERT_TRUE(native.window->idleUntil(showsThePanel));

    Display* display = native.window->display();
    const Window editor = native.window->editorWindow();
    GC gc = XCreateGC(display, editor, 0, nullptr);
    XSetForeground(display, gc, 0xFF00FF);
    const XRectangle areas[] = {{300, 40, 100, 40}, {700, 80, 62, 24}, {160, 85, 1, 1}};
    for (const XRectangle& a : areas) {
        XFillRectangle(display, editor, gc, a.x, a.y, a.width, a.height);
        XClearArea(display, editor, a.x, a.y, a.width, a.height, True);
    }
    XFreeGC(display, gc);
    XSync(display, False);
    const bool repainted = native.window->idleUntil(showsThePanel);
    const long difference = reference.firstDifference(picture);
    EXPECT_TRUE(repainted) << "first different pixel at " << difference % 762 << "," << difference / 762;
}
