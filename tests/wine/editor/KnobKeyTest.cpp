// KnobKeyTest: arrow keys forwarded by the host step the focus knob, else the last knob, and reach the host.
#include <iterator>
#include <string>
#include <vector>

#include "tests/wine/editor/HostInput.h"
#include "tests/wine/editor/HostedEditorFixture.h"

namespace {

class KnobKeyTest : public HostedEditorFixture {
protected:
    // effEditKeyDown as a host forwards a key: index = character, value = virtual key, opt = modifier bits.
    VstIntPtr keyDown(unsigned char virtualKey, int modifiers = 0, VstInt32 character = 0) {
        return host->dispatch(effEditKeyDown, character, virtualKey, nullptr, static_cast<float>(modifiers));
    }
    // A left click on a window pixel, with the messages dispatched as a host's loop does.
    void click(int x, int y) {
        const POINT where = toScreen(x, y);
        ASSERT_TRUE(hostinput::runWhileDispatching(
            [where] {
                hostinput::moveTo(where);
                hostinput::pressLeft();
                Sleep(50);
                hostinput::releaseLeft();
                Sleep(50);
            },
            60000));
    }
};

TEST_F(KnobKeyTest, WithoutFocusTheLastKnobTakesTheKeysAndShowsThemAtTheNextIdle) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_FLOAT_EQ(host->getParameter(11), 0.5f);
    host->clearRequests();
    const ScreenImage before = capture();

    // Read-outs and meters come after the knobs in the window and pass the keys on to CompMakeup's knob. The
    // host is told the value the knob asked for; the knob shows what the effect keeps (at most 0.75).
    struct Press {
        unsigned char key;
        int modifiers;
        float sent;
        float stored;
    };
    const Press presses[] = {{VKEY_UP, 0, 0.6f, 0.6f},
                             {VKEY_RIGHT, 0, 0.7f, 0.7f},
                             {VKEY_LEFT, MODIFIER_SHIFT, 0.69f, 0.69f},
                             {VKEY_DOWN, 0, 0.59f, 0.59f},
                             {VKEY_DOWN, MODIFIER_SHIFT, 0.58f, 0.58f},
                             {VKEY_UP, 0, 0.68f, 0.68f},
                             {VKEY_UP, 0, 0.78f, 0.75f}};
    for (const Press& press : presses) {
        SCOPED_TRACE("key " + std::to_string(press.key) + " modifiers " + std::to_string(press.modifiers));
        const size_t automated = host->countRequests(audioMasterAutomate);
        EXPECT_EQ(keyDown(press.key, press.modifiers), 1);
        EXPECT_NEAR(host->getParameter(11), press.stored, 1e-5f);
        const std::vector<HostRequest> requests = editRequestsOf(11);
        ASSERT_EQ(requests.size(), automated + 1);
        EXPECT_EQ(requests.back().opcode, audioMasterAutomate);
        EXPECT_NEAR(requests.back().opt, press.sent, 1e-5f);
        if (automated == 0) {
            EXPECT_TRUE(capture() == before) << "drawn inside the key call, not at the idle pass";
        }
        idle();
        EXPECT_EQ(knobDiffers(capture(), 11, host->getParameter(11)), "");
    }
    EXPECT_FALSE(readout(capture(), 11) == readout(before, 11));
    EXPECT_EQ(host->countRequests(audioMasterAutomate), std::size(presses)) << "another parameter moved";
    EXPECT_EQ(host->countRequests(audioMasterBeginEdit) + host->countRequests(audioMasterEndEdit), 0u);

    // Nobody handles other keys, nor key releases; nothing moves.
    host->clearRequests();
    EXPECT_EQ(keyDown(7, 0, ' '), -1);
    EXPECT_EQ(keyDown(0, 0, 'a'), -1);
    EXPECT_EQ(host->dispatch(effEditKeyUp, 0, VKEY_UP), -1);
    EXPECT_FLOAT_EQ(host->getParameter(11), 0.75f);
    EXPECT_TRUE(host->requests().empty());
}

TEST_F(KnobKeyTest, KeysGoToTheKnobDraggedLastUntilAClickElsewhere) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    // A press on top of CompThreshold's knob turns it to 0.5 and gives it the focus.
    const DragRecord drag = dragKnob(7, {21, 3}, {});
    ASSERT_EQ(drag.failure, "");
    ASSERT_NEAR(host->getParameter(7), 0.5f, 0.01f);
    const float dragged = host->getParameter(7);

    EXPECT_EQ(keyDown(VKEY_UP), 1);
    EXPECT_FLOAT_EQ(host->getParameter(7), dragged + 0.1f);
    EXPECT_FLOAT_EQ(host->getParameter(11), 0.5f);
    idle();
    EXPECT_EQ(knobDiffers(capture(), 7, dragged + 0.1f), "");

    // A click on the bare panel takes the focus away: the keys reach the last knob again.
    ASSERT_NO_FATAL_FAILURE(click(40, 60));
    EXPECT_EQ(keyDown(VKEY_DOWN, MODIFIER_SHIFT), 1);
    EXPECT_FLOAT_EQ(host->getParameter(7), dragged + 0.1f);
    EXPECT_FLOAT_EQ(host->getParameter(11), 0.49f);
}

}  // namespace
