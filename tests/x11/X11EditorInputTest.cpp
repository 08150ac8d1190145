// Real pointer input through XTest: a knob drag with its edit gesture, the wheel, Control-click.
#include "tests/editor/FreedMemoryQuarantine.h"
#include "tests/x11/X11Hand.h"

TEST(X11EditorInputTest, DragMovesTheParameterInsideOneEditGesture) {
    NativeInstance native;
    native.openEditor();
    const KnobOnScreen knob(native, 7);
    native.host.setParameter(7, 0.5f);
    native.window->idle();
    native.host.clearRequests();

    std::thread user([&] {
        Hand hand;
        hand.moveTo(knob.x, knob.y - 12);
        hand.button(1, true);
        waitFor([&] { return native.host.countRequests(audioMasterBeginEdit) > 0; });
        for (int step = 1; step <= 10; ++step) {
            hand.moveTo(knob.x + 2 * step, knob.y - 12 + step);  // clockwise round the top
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        waitFor([&] { return native.host.countRequests(audioMasterAutomate) > 0; });
        hand.button(1, false);
    });
    const bool ended = native.window->idleUntil([&] { return native.host.countRequests(audioMasterEndEdit) > 0; });
    user.join();
    ASSERT_TRUE(ended);

    EXPECT_GT(native.host.getParameter(7), 0.5f);
    std::vector<VstInt32> order;
    for (const HostRequest& r : native.host.requests()) {
        if (r.opcode != audioMasterBeginEdit && r.opcode != audioMasterAutomate && r.opcode != audioMasterEndEdit)
            continue;
        EXPECT_EQ(r.index, 7);
        if (order.empty() || order.back() != r.opcode) order.push_back(r.opcode);
    }
    EXPECT_EQ(order, (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
}

TEST(X11EditorInputTest, WheelStepsAndControlClickRestoresTheDefault) {
    NativeInstance native;
    native.openEditor();
    const KnobOnScreen knob(native, 7);
    native.host.setParameter(7, 0.2f);
    native.host.clearRequests();
    Hand hand;
    hand.moveTo(knob.x, knob.y);

    // One notch up: one wheel step (a tenth of the range), automated, no edit gesture.
    hand.button(4, true);
    hand.button(4, false);
    ASSERT_TRUE(native.window->idleUntil([&] { return native.host.countRequests(audioMasterAutomate) > 0; }));
    EXPECT_NEAR(native.host.getParameter(7), 0.3f, 1e-6);
    hand.button(5, true);
    hand.button(5, false);
    ASSERT_TRUE(native.window->idleUntil([&] { return native.host.countRequests(audioMasterAutomate) > 1; }));
    EXPECT_NEAR(native.host.getParameter(7), 0.2f, 1e-6);
    // With Shift held a notch is a hundredth.
    hand.key(XK_Shift_L, true);
    hand.button(4, true);
    hand.button(4, false);
    ASSERT_TRUE(native.window->idleUntil([&] { return native.host.countRequests(audioMasterAutomate) > 2; }));
    hand.key(XK_Shift_L, false);
    EXPECT_NEAR(native.host.getParameter(7), 0.21f, 1e-6);

    // Control-click: back to the default, even when the click is over before the host idles.
    hand.key(XK_Control_L, true);
    hand.button(1, true);
    hand.button(1, false);
    hand.key(XK_Control_L, false);
    ASSERT_TRUE(native.window->idleUntil([&] { return native.host.getParameter(7) == 0.5f; }));
    EXPECT_EQ(native.host.countRequests(audioMasterBeginEdit), 0u);
}

// A host that closes the editor from its idle handler while the user drags a knob: the drag and the
// window's event handling stop there (nothing freed is written to), the window goes, and the editor
// opens again as new.
TEST(X11EditorInputTest, HostClosingTheEditorDuringADragEndsIt) {
    NativeInstance native;
    native.openEditor();
    const KnobOnScreen knob(native, 7);
    native.window->idle();
    native.host.clearRequests();
    std::atomic<bool> closed{false};
    size_t requestsAtClose = 0;
    // The host closes the editor as the drag's gesture begins, from inside that request.
    native.host.config().afterRequest = [&](VstInt32 opcode) {
        if (closed.load() || opcode != audioMasterBeginEdit) return;
        requestsAtClose = native.host.requests().size();
        native.window->close();
        closed = true;
    };
    quarantine::start();
    std::thread user([&] {
        Hand hand;
        hand.moveTo(knob.x, knob.y - 12);
        hand.button(1, true);
        waitFor([&] { return closed.load(); });
        hand.moveTo(knob.x + 12, knob.y);
        hand.button(1, false);
    });
    const bool ended = native.window->idleUntil([&] { return closed.load(); });
    user.join();
    native.host.config().afterRequest = nullptr;
    ASSERT_TRUE(ended);
    for (int i = 0; i < 5; ++i) native.window->idle();
    EXPECT_EQ(quarantine::end(), 0) << "blocks written to after they were freed";
    // The begin-edit the host closed in is the last request: the drag sends nothing more.
    EXPECT_EQ(native.host.requests().size(), requestsAtClose);
    EXPECT_EQ(native.host.requests().back().opcode, audioMasterBeginEdit);
    EXPECT_EQ(native.window->childCount(), 0);

    // The reopened editor shows the panel and follows a set: drawn last, read-out 7 takes the column it
    // shares with read-out 8 in both pictures.
    native.openEditor();
    HeadlessReference reference;
    native.host.setParameter(7, 0.2f);
    reference.setParameter(7, 0.2f);
    X11Picture picture;
    EXPECT_TRUE(native.window->idleUntil([&] { return native.window->capture(picture) && reference.firstDifference(picture) < 0; }));
}
