// The LV2 UI's life in a host: the descriptor and its interfaces, refused instantiations, the idle
// interface's answer once the window is gone, and the size menu's 200 % told to the host and kept.
#include <stdlib.h>

#include <cstring>

#include "tests/lv2ui/Lv2UiHost.h"

#include <X11/extensions/XTest.h>

namespace {

// A settings folder of the test's own, so the size chosen here reaches no other test.
struct OwnSettings {
    OwnSettings() {
        std::string folder = testing::TempDir() + "vozuv-lv2ui-XXXXXX";
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous = old;
        if (mkdtemp(folder.data())) setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~OwnSettings() {
        if (previous.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    }
    std::string previous;
};

}  // namespace

TEST(Lv2UiLifetimeTest, RefusesWithoutParentWriterWindowOrDisplayAndEndsWhenItsWindowGoes) {
    Lv2UiHost lv2;
    const LV2UI_Descriptor* d = lv2.library.descriptor;
    EXPECT_STREQ(d->URI, "urn:brovane:vozuvazirova#ui");
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(lv2.library.handle, "lv2ui_descriptor"));
    EXPECT_EQ(entry(1), nullptr);
    EXPECT_NE(d->extension_data(LV2_UI__idleInterface), nullptr);
    EXPECT_EQ(d->extension_data("urn:nothing"), nullptr);

    // The library's one connection for the desktop's scale, made by the first editor, stays for the
    // process: counted from there on.
    ASSERT_TRUE(lv2.instantiate());
    lv2.cleanup();
    const int clients = serverClientCount(lv2.screen.display());
    EXPECT_FALSE(lv2.instantiate(false, true));
    EXPECT_FALSE(lv2.instantiate(true, false));
    lv2.parentId = 0x3ffffff;  // no window of the server
    EXPECT_FALSE(lv2.instantiate());
    lv2.parentId = 0;
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_FALSE(lv2.instantiate());
    setenv("DISPLAY", display.c_str(), 1);
    // Nothing of the refused instances stays connected.
    EXPECT_EQ(serverClientCount(lv2.screen.display()), clients);

    ASSERT_TRUE(lv2.instantiate());
    EXPECT_EQ(serverClientCount(lv2.screen.display()), clients + 1);
    EXPECT_EQ(lv2.idle(), 0);
    // The host's window goes first (a closed frame): the idle interface says the UI is gone.
    XDestroyWindow(lv2.screen.display(), lv2.parent);
    XSync(lv2.screen.display(), False);
    lv2.parent = 0;
    int gone = 0;
    EXPECT_TRUE(lv2.idleUntil([&] { return (gone = lv2.idle()) != 0; }));
    lv2.cleanup();
    EXPECT_EQ(serverClientCount(lv2.screen.display()), clients);
}

// A right-click opens the size menu, "200%" resizes the editor: the host is told the new size, the
// window shows the VST 2 editor's 200 % picture, and the choice is kept for the next editor.
TEST(Lv2UiLifetimeTest, TheSizeMenuTellsTheHostTheNewSizeAndKeepsTheChoice) {
    const OwnSettings settings;
    Lv2UiHost lv2;
    ASSERT_TRUE(lv2.instantiate());
    lv2.idle();
    Display* hand = XOpenDisplay(privateDisplay().c_str());
    auto click = [&](int x, int y, unsigned int button) {
        int sx = 0, sy = 0;
        lv2.toScreen(x, y, sx, sy);
        XTestFakeMotionEvent(hand, -1, sx, sy, CurrentTime);
        XTestFakeButtonEvent(hand, button, True, CurrentTime);
        XTestFakeButtonEvent(hand, button, False, CurrentTime);
        XSync(hand, False);
    };
    click(300, 30, 3);
    X11Picture menu;
    // The menu's light fill beside its second item.
    ASSERT_TRUE(lv2.idleUntil([&] { return lv2.capture(menu) && menu.pixel(343, 55) == 0xECEFF4; }));
    // "200%" is the third item: 2 units of padding, then items of 13 units.
    click(300 + 2 + 23, 30 + 2 + 26 + 6, 1);
    X11Picture big;
    ASSERT_TRUE(lv2.idleUntil([&] { return lv2.capture(big) && big.width == 1524; }));
    EXPECT_EQ(big.height, 208);
    ASSERT_FALSE(lv2.sizes.empty());
    EXPECT_EQ(lv2.sizes.back(), std::make_pair(1524, 208));
    XCloseDisplay(hand);

    // The VST 2 editor opened now starts at the kept choice and shows the same crisp picture.
    NativeInstance vst;
    vst.openEditor();
    X11Picture theirs;
    EXPECT_TRUE(lv2.idleUntil([&] {
        vst.window->idle();
        return lv2.capture(big) && vst.window->capture(theirs) && big.rgb == theirs.rgb;
    }));
    EXPECT_EQ(theirs.width, 1524);
    // A new UI starts at it too and tells the host so at once.
    Lv2UiHost again;
    ASSERT_TRUE(again.instantiate());
    ASSERT_FALSE(again.sizes.empty());
    EXPECT_EQ(again.sizes.back(), std::make_pair(1524, 208));
}
