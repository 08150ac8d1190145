// The LV2 UI shows the VST 2 editor's pixels, turns a knob drag into port writes in the port's units
// between touches, and follows the host's port events on knobs, read-outs and meters.
#include <cstring>
#include <thread>

#include "lv2/PortMap.h"
#include "tests/lv2ui/Lv2UiHost.h"
#include "tests/x11/X11Hand.h"

namespace {

constexpr VstInt32 knobIndex = 7;

// Idles both until the UI's picture equals the VST 2 editor's; the first differing pixel, or -1.
long differenceFromVst(Lv2UiHost& lv2, NativeInstance& vst) {
    X11Picture mine, theirs;
    long difference = 0;
    auto compare = [&] {
        vst.window->idle();
        if (!lv2.capture(mine) || !vst.window->capture(theirs)) return false;
        if (mine.width != theirs.width || mine.height != theirs.height) return (difference = 0), false;
        difference = -1;
        for (size_t i = 0; i < mine.rgb.size() && difference < 0; i += 3)
            if (std::memcmp(&mine.rgb[i], &theirs.rgb[i], 3) != 0) difference = long(i / 3);
        return difference < 0;
    };
    lv2.idleUntil(compare);
    return difference;
}

// The same gesture on a knob whose centre is at (x, y) on the screen: press right of it, over its top to
// its left, release.
void turnKnob(int x, int y) {
    Hand hand;
    hand.moveTo(x + 15, y);
    hand.button(1, true);
    // Up to the top: a turn that gives the same value whether the editor takes each motion or only the
    // last of a batch.
    hand.moveTo(x + 8, y - 8);
    hand.moveTo(x, y - 15);
    hand.button(1, false);
}

}  // namespace

TEST(Lv2UiEditorTest, ShowsTheVstEditorTellsItsSizeAndFollowsPortEvents) {
    NativeInstance vst;
    vst.openEditor();
    Lv2UiHost lv2;
    ASSERT_TRUE(lv2.instantiate());
    ASSERT_NE(lv2.widget, nullptr);
    ASSERT_NE(lv2.idleInterface, nullptr);
    EXPECT_EQ(lv2.idle(), 0);
    // The panel's size at 100 %, told once the editor is open.
    ASSERT_FALSE(lv2.sizes.empty());
    EXPECT_EQ(lv2.sizes.back(), std::make_pair(762, 104));
    const long first = differenceFromVst(lv2, vst);
    EXPECT_LT(first, 0) << "first different pixel at " << first % 762 << "," << first / 762;

    // Automation in dB moves the knob and the read-out as the normalized value does in the VST 2 editor;
    // the meter ports drive the meters. None of it is written back.
    lv2.portEvent(knobIndex, -33.5f);
    vst.host.setParameter(knobIndex, PortMap::toParameterValue(knobIndex, -33.5f));
    lv2.portEvent(PortMap::kFirstMeter, 0.8f);
    vst.host.setParameter(PortMap::kFirstMeter, 0.8f);
    lv2.portEvent(PortMap::kFirstMeter + 2, 0.55f);
    vst.host.setParameter(PortMap::kFirstMeter + 2, 0.55f);
    const long moved = differenceFromVst(lv2, vst);
    EXPECT_LT(moved, 0) << "first different pixel at " << moved % 762 << "," << moved / 762;
    X11Picture before;
    ASSERT_TRUE(lv2.capture(before));
    lv2.portEvent(knobIndex, 0.0f);  // 0 dB: the knob's other end
    X11Picture after;
    EXPECT_TRUE(lv2.idleUntil([&] { return lv2.capture(after) && after.rgb != before.rgb; }));
    EXPECT_TRUE(lv2.writes.empty());
    EXPECT_TRUE(lv2.touches.empty());
}

TEST(Lv2UiEditorTest, ADragWritesThePortInItsUnitsBetweenTouchesAsTheVstEditorAutomates) {
    const UiPoint centre = HeadlessReference().knobCentre(knobIndex);
    // The gesture on the VST 2 editor: the value it automates.
    NativeInstance vst;
    vst.openEditor();
    vst.host.clearRequests();
    int x = 0, y = 0;
    vst.window->toScreen(vst.window->editorWindow(), centre.h, centre.v, x, y);
    std::thread vstHand([&] { turnKnob(x, y); });
    EXPECT_TRUE(vst.window->idleUntil([&] { return vst.host.countRequests(audioMasterEndEdit) > 0; }));
    vstHand.join();
    const float automated = vst.host.getParameter(knobIndex);

    Lv2UiHost lv2;
    ASSERT_TRUE(lv2.instantiate());
    lv2.idle();
    lv2.toScreen(centre.h, centre.v, x, y);
    std::thread lv2Hand([&] { turnKnob(x, y); });
    const bool ended = lv2.idleUntil([&] { return lv2.touches.size() >= 2; });
    lv2Hand.join();
    ASSERT_TRUE(ended);
    ASSERT_EQ(lv2.touches.size(), 2u);
    EXPECT_EQ(lv2.touches[0].port, uint32_t(knobIndex));
    EXPECT_TRUE(lv2.touches[0].grabbed);
    EXPECT_EQ(lv2.touches[1].port, uint32_t(knobIndex));
    EXPECT_FALSE(lv2.touches[1].grabbed);
    ASSERT_FALSE(lv2.writes.empty());
    for (const PortWrite& w : lv2.writes) EXPECT_EQ(w.port, uint32_t(knobIndex));
    // In dB, not 0..1: the threshold port reads like the editor.
    EXPECT_EQ(lv2.writes.back().value, PortMap::toPortValue(knobIndex, automated));
    EXPECT_LT(lv2.writes.back().value, -1.0f);

    // The host's echo of the write changes nothing and is not written again.
    const size_t written = lv2.writes.size();
    lv2.portEvent(knobIndex, lv2.writes.back().value);
    lv2.idle();
    EXPECT_EQ(lv2.writes.size(), written);
    const long difference = differenceFromVst(lv2, vst);
    EXPECT_LT(difference, 0) << "first different pixel at " << difference % 762 << "," << difference / 762;
}
