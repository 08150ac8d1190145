// A knob drag on the X11 editor never holds the host's thread: the hand drags from its own thread while
// the host idles every 30 ms, and every idle returns promptly; values, gestures and pixels as ever; the
// host may close the editor or the plug-in in the middle of a drag.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

#include "tests/editor/FreedMemoryQuarantine.h"
#include "tests/x11/X11Hand.h"

namespace {

constexpr VstInt32 knobIndex = 7;

// The host's thread: effEditIdle every 30 ms until done, each call timed.
struct TimedIdles {
    template <typename Done>
    bool run(X11EditorHost& window, Done done, int timeoutMs = 20000) {
        const uint64_t end = X11EditorHost::nowMs() + uint64_t(timeoutMs);
        for (;;) {
            const auto start = std::chrono::steady_clock::now();
            window.idle();
            const auto took = std::chrono::steady_clock::now() - start;
            longestMs = std::max(longestMs, std::chrono::duration<double, std::milli>(took).count());
            ++calls;
            if (done()) return true;
            if (X11EditorHost::nowMs() >= end) return false;
            X11EditorHost::sleepMs(30);
        }
    }
    double longestMs = 0;
    int calls = 0;
};

// The opcodes of the knob's gesture requests, consecutive repeats folded.
std::vector<VstInt32> gestureOrder(PluginHost& host) {
    std::vector<VstInt32> order;
    for (const HostRequest& r : host.requests()) {
        const VstInt32 op = r.opcode;
        if (op != audioMasterBeginEdit && op != audioMasterAutomate && op != audioMasterEndEdit) continue;
        if (r.index != knobIndex) return {};
        if (order.empty() || order.back() != op) order.push_back(op);
    }
    return order;
}

// The instance with its editor open and the knob at 0.5, no requests recorded yet.
NativeInstance& openAtHalf(NativeInstance& native) {
    native.openEditor();
    native.host.setParameter(knobIndex, 0.5f);
    native.window->idle();
    native.host.clearRequests();
    return native;
}

struct DragRig {
    bool ended() { return native.host.countRequests(audioMasterEndEdit) > 0; }
    NativeInstance native;
    const KnobOnScreen knob{openAtHalf(native), knobIndex};
};

}  // namespace

TEST(X11EditorDragTest, DragSpansManyIdlesThatEachReturnPromptly) {
    DragRig rig;
    const int steps = 35;  // 0.7 s, clockwise round the knob from the top to the right
    auto pointAt = [&](int step, int& x, int& y) {
        const double angle = M_PI / 2 - (M_PI / 2.5) * step / steps;
        x = rig.knob.x + int(std::lround(15 * std::cos(angle)));
        y = rig.knob.y - int(std::lround(15 * std::sin(angle)));
    };
    int lastX = 0, lastY = 0;
    std::thread user([&] {
        Hand hand;
        pointAt(0, lastX, lastY);
        hand.moveTo(lastX, lastY);
        hand.button(1, true);
        waitFor([&] { return rig.native.host.countRequests(audioMasterBeginEdit) > 0; });
        for (int step = 1; step <= steps; ++step) {
            pointAt(step, lastX, lastY);
            hand.moveTo(lastX, lastY);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        hand.button(1, false);
    });
    TimedIdles idles;
    const bool ended = idles.run(*rig.native.window, [&] { return rig.ended(); });
    user.join();
    ASSERT_TRUE(ended);
    std::printf("longest effEditIdle during the drag: %.1f ms over %d calls\n", idles.longestMs, idles.calls);
    RecordProperty("longestIdleMs", int(idles.longestMs));
    // The drag advanced over many idles, none of which held the host for a large part of it.
    EXPECT_GE(idles.calls, 8);
    EXPECT_LT(idles.longestMs, 350.0);

    EXPECT_EQ(gestureOrder(rig.native.host),
              (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
    EXPECT_EQ(rig.native.host.countRequests(audioMasterBeginEdit), 1u);

    // The value of the last position on the knob's circle, and the picture of that value.
    HeadlessReference reference;
    const float value = rig.native.host.getParameter(knobIndex);
    auto* knob = static_cast<CompGateEditor*>(reference.plugin->getEditor())->getKnob(knobIndex);
    UiRect bounds;
    knob->getBounds(bounds);
    int originX = 0, originY = 0;
    rig.native.window->toScreen(rig.native.window->editorWindow(), bounds.left, bounds.top, originX, originY);
    EXPECT_FLOAT_EQ(value, knob->pointToValue(UiPoint{lastX - originX, lastY - originY}));
    EXPECT_GT(value, 0.7f);
    reference.setParameter(knobIndex, value);
    X11Picture picture;
    long difference = 0;
    EXPECT_TRUE(rig.native.window->idleUntil([&] {
        return rig.native.window->capture(picture) && (difference = reference.firstDifference(picture)) < 0;
    })) << "first different pixel at " << difference % 762 << "," << difference / 762;
}

TEST(X11EditorDragTest, AltDragsLinearlyAndShiftSlowsItFromWhereItIs) {
    DragRig rig;
    std::thread user([&] {
        Hand hand;
        hand.moveTo(rig.knob.x, rig.knob.y);
        hand.key(XK_Alt_L, true);
        hand.button(1, true);
        waitFor([&] { return rig.native.host.countRequests(audioMasterBeginEdit) > 0; });
        for (int dx = 4; dx <= 40; dx += 4) hand.moveTo(rig.knob.x + dx, rig.knob.y);
        waitFor([&] { return rig.native.host.getParameter(knobIndex) > 0.69f; });
        hand.key(XK_Shift_L, true);
        for (int dx = 43; dx <= 70; dx += 3) hand.moveTo(rig.knob.x + dx, rig.knob.y);
        hand.button(1, false);
        hand.key(XK_Shift_L, false);
        hand.key(XK_Alt_L, false);
    });
    const bool ended = rig.native.window->idleUntil([&] { return rig.ended(); });
    user.join();
    ASSERT_TRUE(ended);
    // 40 pixels at 1/200, then 30 at 1/300 (one may still count at 1/200: Shift may come with a move).
    EXPECT_NEAR(rig.native.host.getParameter(knobIndex), 0.8f, 0.006f);
}

TEST(X11EditorDragTest, HostClosingEditorOrPluginMidDragLeavesNothingBehind) {
    // Between two idles, or from inside the automation request of a drag step.
    for (bool insideRequest : {false, true})
        for (int ending : {0, 1, 2}) {
            const bool wholePlugin = ending == 1, parentGone = ending == 2;
            SCOPED_TRACE(std::string(parentGone    ? "parent destroyed"
                                     : wholePlugin ? "effClose"
                                                   : "effEditClose") +
                         (insideRequest ? " on automation" : ""));
            DragRig rig;
            X11EditorHost probe(privateDisplay().c_str());
            const int clients = serverClientCount(probe.display());
            std::atomic<bool> closed{false};
            auto close = [&] {
                if (closed.exchange(true)) return;
                if (parentGone)
                    rig.native.window->destroyParent();
                else if (wholePlugin)
                    rig.native.host.close();
                else
                    rig.native.window->close();
            };
            if (insideRequest)
                rig.native.host.config().afterRequest = [&](VstInt32 opcode) {
                    if (opcode == audioMasterAutomate) close();
                };
            quarantine::start();
            std::thread user([&] {
                Hand hand;
                hand.moveTo(rig.knob.x, rig.knob.y - 12);
                hand.button(1, true);
                for (int step = 1; !closed && step < 400; ++step) {
                    hand.moveTo(rig.knob.x + step % 10, rig.knob.y - 12);
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                hand.moveTo(rig.knob.x + 20, rig.knob.y);
                hand.button(1, false);
            });
            const bool dragging = rig.native.window->idleUntil([&] {
                return closed || rig.native.host.countRequests(audioMasterAutomate) > 0;
            });
            close();
            user.join();
            rig.native.host.config().afterRequest = nullptr;
            ASSERT_TRUE(dragging);
            for (int i = 0; i < 5; ++i) rig.native.window->idle();
            EXPECT_EQ(quarantine::end(), 0) << "blocks written to after they were freed";
            if (parentGone) {
                // No release comes to a window that is gone: the host hears the gesture end with it.
                EXPECT_TRUE(rig.native.window->idleUntil(
                    [&] { return rig.native.host.countRequests(audioMasterEndEdit) == 1; }));
                EXPECT_EQ(rig.native.host.countRequests(audioMasterBeginEdit), 1);
                continue;
            }
            // The plug-in's connection is gone, and with it every window and pixmap it held.
            EXPECT_EQ(serverClientCount(probe.display()), clients - 1);
            EXPECT_EQ(rig.native.window->childCount(), 0);
            if (wholePlugin) continue;
            // The editor opens again and takes a new click.
            rig.native.host.clearRequests();
            ASSERT_TRUE(rig.native.window->open(rig.native.host));
            Hand hand;
            hand.moveTo(rig.knob.x + 15, rig.knob.y);
            hand.button(1, true);
            hand.button(1, false);
            EXPECT_TRUE(rig.native.window->idleUntil([&] { return rig.ended(); }));
            // A click 15 pixels right of the panel point at the knob's middle (3 above its circle's centre).
            EXPECT_NEAR(rig.native.host.getParameter(knobIndex), 0.7914f, 0.005f);
        }
}

TEST(X11EditorDragTest, AnotherButtonDuringADragStartsNoSecondGesture) {
    DragRig rig;
    std::thread user([&] {
        Hand hand;
        hand.moveTo(rig.knob.x, rig.knob.y - 12);
        hand.button(1, true);
        waitFor([&] { return rig.native.host.countRequests(audioMasterBeginEdit) > 0; });
        hand.moveTo(rig.knob.x + 6, rig.knob.y - 10);
        waitFor([&] { return rig.native.host.countRequests(audioMasterAutomate) > 0; });
        hand.button(3, true);
        hand.button(2, true);
        hand.moveTo(rig.knob.x + 12, rig.knob.y - 6);
        hand.button(3, false);
        hand.button(1, false);
        hand.button(2, false);
    });
    ASSERT_TRUE(rig.native.window->idleUntil([&] { return rig.ended(); }));
    user.join();
    for (int i = 0; i < 5; ++i) rig.native.window->idle();
    EXPECT_EQ(gestureOrder(rig.native.host),
              (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
    EXPECT_EQ(rig.native.host.countRequests(audioMasterBeginEdit), 1);
    EXPECT_EQ(rig.native.host.countRequests(audioMasterEndEdit), 1);
}

// A host may close and open the editor again from inside a request of the first press: the new editor,
// here where the old one was in memory, takes drags as ever.
TEST(X11EditorDragTest, EditorReopenedInsideTheBeginEditTakesDrags) {
    const TrackedAllocations tracked;
    DragRig rig;
    bool reopened = false;
    rig.native.host.config().afterRequest = [&](VstInt32 opcode) {
        if (opcode != audioMasterBeginEdit || reopened) return;
        reopened = true;
        const ReusedAddresses reused;
        rig.native.window->close();
        rig.native.window->open(rig.native.host);
    };
    Hand hand;
    hand.moveTo(rig.knob.x, rig.knob.y - 12);
    hand.button(1, true);
    ASSERT_TRUE(rig.native.window->idleUntil([&] { return reopened; }));
    hand.button(1, false);
    rig.native.host.config().afterRequest = nullptr;
    ASSERT_TRUE(rig.native.window->idleUntil([&] { return rig.native.window->editorWindow() != 0; }));
    for (int i = 0; i < 3; ++i) rig.native.window->idle();
    rig.native.host.clearRequests();

    std::thread user([&] {
        Hand h;
        h.moveTo(rig.knob.x, rig.knob.y - 12);
        h.button(1, true);
        waitFor([&] { return rig.native.host.countRequests(audioMasterBeginEdit) > 0; });
        for (int dx = 2; dx <= 16; dx += 2) h.moveTo(rig.knob.x + dx, rig.knob.y - 12 + dx / 2);
        h.button(1, false);
    });
    const bool ended = rig.native.window->idleUntil([&] { return rig.ended(); });
    user.join();
    EXPECT_TRUE(ended);
    EXPECT_GT(rig.native.host.countRequests(audioMasterAutomate), 0);
}

// Motions that queue up while the host does not idle make one drag step, at the last of them: one request
// to the host and one upload of the picture, not one per motion.
TEST(X11EditorDragTest, MotionsQueuedBetweenTwoIdlesMakeOneStepAtTheLast) {
    DragRig rig;
    Hand hand;
    hand.moveTo(rig.knob.x, rig.knob.y - 15);
    hand.button(1, true);
    ASSERT_TRUE(rig.native.window->idleUntil(
        [&] { return rig.native.host.countRequests(audioMasterBeginEdit) > 0; }));
    rig.native.host.clearRequests();
    const int motions = 30;
    for (int step = 1; step <= motions; ++step) {
        const double angle = M_PI / 2 * (1.0 - double(step) / motions);  // from the top round to the right
        hand.moveTo(rig.knob.x + int(std::lround(15 * std::cos(angle))),
                    rig.knob.y - int(std::lround(15 * std::sin(angle))));
    }
    rig.native.window->idle();
    const size_t steps = rig.native.host.countRequests(audioMasterAutomate);
    std::printf("drag steps for %d motions queued between two idles: %zu\n", motions, steps);
    EXPECT_GE(steps, 1u);
    EXPECT_LE(steps, 5u) << "of " << motions << " motions";
    // 15 pixels right of the knob's middle, as a click there gives.
    EXPECT_NEAR(rig.native.host.getParameter(knobIndex), 0.7914f, 0.005f);
    hand.button(1, false);
    EXPECT_TRUE(rig.native.window->idleUntil([&] { return rig.ended(); }));
}
