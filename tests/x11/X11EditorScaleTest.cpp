// The Linux library's editor at the desktop's scale: Xft.dpi picks the size, the X11 window shows the
// headless backend's picture at that size, and the size menu resizes the window.
#include <stdlib.h>

#include <cstring>

#include "gui/core/UiScale.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/editor/FreedMemoryQuarantine.h"
#include "tests/x11/X11Hand.h"
#include "tests/x11/X11Session.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

namespace {

// The desktop's Xft.dpi for the test's X server (the RESOURCE_MANAGER property xrdb sets), and settings
// of our own so no stored choice of the user's takes part.
struct DesktopDpi {
    explicit DesktopDpi(const char* resources) : display(XOpenDisplay(privateDisplay().c_str())) {
        std::string folder = testing::TempDir() + "vozuv-x11-scale-XXXXXX";
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous = old;
        if (mkdtemp(folder.data())) setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources), int(std::strlen(resources)));
        XSync(display, False);
    }
    ~DesktopDpi() {
        XDeleteProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER);
        XCloseDisplay(display);
        if (previous.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
        HeadlessSystem::displayScale = 1.0;
    }
    Display* display;
    std::string previous;
};

// Idles until the editor's window shows the reference's picture; the last picture taken.
X11Picture showsReference(NativeInstance& native, HeadlessReference& reference) {
    X11Picture picture;
    long difference = 0;
    EXPECT_TRUE(native.window->idleUntil([&] {
        if (!native.window->capture(picture)) return false;
        difference = reference.firstDifference(picture);
        return difference < 0;
    })) << "first different pixel at " << difference % picture.width << "," << difference / picture.width;
    return picture;
}

}  // namespace

TEST(X11EditorScaleTest, XftDpiPicksTheSizeAndTheWindowShowsTheHeadlessPictureOfIt) {
    struct Case {
        const char* resources;
        int32_t percent;
    };
    const Case cases[] = {{"Xft.antialias:\t1\nXft.dpi:\t192\n", 200},
                          {"Xft.dpi:\t144\n", 150},
                          {"Xft.dpi:\t96\n", 100},
                          {"Xft.hinting:\t1\n", 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resources);
        const DesktopDpi desktop(c.resources);
        NativeInstance native;
        ERect* rect = nullptr;
        native.host.dispatch(effEditGetRect, 0, 0, &rect);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right, uiscale::toDevice(762, c.percent));
        EXPECT_EQ(rect->bottom, uiscale::toDevice(104, c.percent));
        if (c.percent != 200) continue;
        native.openEditor();
        HeadlessSystem::displayScale = 2.0;
        HeadlessReference reference;
        const X11Picture picture = showsReference(native, reference);
        EXPECT_EQ(picture.width, 1524);
        EXPECT_EQ(picture.height, 208);
    }
}

namespace {

// A click with a button at a point of the editor's window.
void clickAt(NativeInstance& native, Display* hand, int x, int y, unsigned int button) {
    int sx = 0, sy = 0;
    native.window->toScreen(native.window->editorWindow(), x, y, sx, sy);
    XTestFakeMotionEvent(hand, -1, sx, sy, CurrentTime);
    XTestFakeButtonEvent(hand, button, True, CurrentTime);
    XTestFakeButtonEvent(hand, button, False, CurrentTime);
    XSync(hand, False);
}

// A knob turned from its right over its top to its left, at the window's scale: the drag's steps reach
// the knob in panel units, so every scale gives the value of 100 %. The value after the turn.
// Screen point of knob 7's middle at a scale.
UiPoint knobAt(NativeInstance& native, int32_t percent) {
    const UiPoint centre = HeadlessReference().knobCentre(7);
    int x = 0, y = 0;
    native.window->toScreen(native.window->editorWindow(), uiscale::toDevice(centre.h, percent),
                            uiscale::toDevice(centre.v, percent), x, y);
    return UiPoint{x, y};
}

float turnKnob(NativeInstance& native, int32_t percent) {
    const UiPoint knob = knobAt(native, percent);
    const int x = knob.h, y = knob.v;
    const int r = uiscale::toDevice(15, percent);
    native.host.clearRequests();
    std::thread user([&] {
        Hand h;
        h.moveTo(x + r, y);
        h.button(1, true);
        h.moveTo(x, y - r);
        h.moveTo(x - r, y - r / 3);
        h.button(1, false);
    });
    EXPECT_TRUE(native.window->idleUntil([&] { return native.host.countRequests(audioMasterEndEdit) > 0; }));
    user.join();
    return native.host.getParameter(7);
}

// The size menu's "150%": a right-click opens it; it is the second item, after 2 units of padding and
// one item of 13 units.
void choose150(NativeInstance& native, Display* hand) {
    clickAt(native, hand, 300, 30, 3);
    X11Picture menu;
    // The menu's light fill beside its second item.
    ASSERT_TRUE(native.window->idleUntil([&] { return native.window->capture(menu) && menu.pixel(343, 55) == 0xECEFF4; }));
    clickAt(native, hand, 300 + 2 + 23, 30 + 2 + 13 + 6, 1);
}

}  // namespace

// A right-click opens the size menu, a click on "150%" resizes the editor's window, which then shows the
// 150 % picture.
TEST(X11EditorScaleTest, TheSizeMenuResizesTheWindow) {
    const DesktopDpi desktop("Xft.dpi:\t96\n");
    NativeInstance native;
    native.openEditor();
    Display* hand = XOpenDisplay(privateDisplay().c_str());
    const float before = native.host.getParameter(7);
    const float at100 = turnKnob(native, 100);
    native.host.setParameter(7, before);  // the reference pictures show the knob where it was
    choose150(native, hand);
    X11Picture after;
    ASSERT_TRUE(native.window->idleUntil([&] { return native.window->capture(after) && after.width == 1143; }));
    EXPECT_EQ(after.height, 156);
    HeadlessSystem::displayScale = 1.5;
    HeadlessReference reference;
    showsReference(native, reference);
    EXPECT_NEAR(turnKnob(native, 150), at100, 0.002f);
    // The wheel over the knob at the new scale: one notch is a tenth of the range.
    const float turned = native.host.getParameter(7);
    native.host.clearRequests();
    Hand wheel;
    wheel.moveTo(knobAt(native, 150).h, knobAt(native, 150).v);
    wheel.button(turned < 0.5f ? 4 : 5, true);
    wheel.button(turned < 0.5f ? 4 : 5, false);
    ASSERT_TRUE(native.window->idleUntil([&] { return native.host.countRequests(audioMasterAutomate) > 0; }));
    EXPECT_NEAR(native.host.getParameter(7), turned < 0.5f ? turned + 0.1f : turned - 0.1f, 1e-5);
    XCloseDisplay(hand);
}

// A host may close and open the editor again from inside the resize the size menu asks for: the new
// editor, at the chosen size and here where the old one was in memory, takes drags as ever.
TEST(X11EditorScaleTest, EditorReopenedInsideTheResizeTakesDrags) {
    const TrackedAllocations tracked;
    const DesktopDpi desktop("Xft.dpi:\t96\n");
    NativeInstance native;
    native.openEditor();
    const float at100 = turnKnob(native, 100);
    Display* hand = XOpenDisplay(privateDisplay().c_str());
    bool reopened = false;
    native.host.config().afterRequest = [&](VstInt32 opcode) {
        if (opcode != audioMasterSizeWindow || reopened) return;
        reopened = true;
        const ReusedAddresses reused;
        native.window->close();
        native.window->open(native.host);
    };
    native.host.setParameter(7, 0.5f);
    choose150(native, hand);
    X11Picture after;
    ASSERT_TRUE(native.window->idleUntil([&] { return native.window->capture(after) && after.width == 1143; }));
    native.host.config().afterRequest = nullptr;
    EXPECT_TRUE(reopened);
    EXPECT_NEAR(turnKnob(native, 150), at100, 0.002f);
    XCloseDisplay(hand);
}
