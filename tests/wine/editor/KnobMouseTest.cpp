// KnobMouseTest: real mouse input on the editor's knobs reaches the effect and the host's automation.
#include <cmath>
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class KnobMouseTest : public HostedEditorFixture {
protected:
    size_t countOf(VstInt32 opcode) const { return host->countRequests(opcode); }
};

TEST_F(KnobMouseTest, DragAutomatesItsParameterBetweenBeginAndEndEdit) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_FLOAT_EQ(host->getParameter(7), 1.0f);
    host->clearRequests();

    // Circular mode: straight above the centre is 0.5; level with the centre on the right is 0.8333.
    const std::vector<DragStep> path = {{30, 5}, {37, 12}, {40, 21}};
    const DragRecord drag = dragKnob(7, {21, 3}, path);
    ASSERT_EQ(drag.failure, "");

    const std::vector<HostRequest> gesture = editRequestsOf(7);
    ASSERT_GE(gesture.size(), 2u + path.size());
    EXPECT_EQ(gesture.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(gesture.back().opcode, audioMasterEndEdit);
    for (size_t i = 1; i + 1 < gesture.size(); ++i) {
        EXPECT_EQ(gesture[i].opcode, audioMasterAutomate) << "request " << i << " of the gesture";
    }
    EXPECT_NEAR(gesture[1].opt, 0.5f, 0.01f);
    const float last = gesture[gesture.size() - 2].opt;
    EXPECT_NEAR(last, 5.0f / 6.0f, 0.002f);
    EXPECT_FLOAT_EQ(host->getParameter(7), last);
    EXPECT_EQ(host->countRequests(audioMasterBeginEdit), 1u) << "edit gestures of other parameters";

    idle();
    EXPECT_EQ(knobDiffers(capture(), 7, last), "");
}

TEST_F(KnobMouseTest, ControlClickResetsToHalfWithoutAnEditGesture) {
    host->setParameter(11, 0.2f);
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_EQ(knobDiffers(capture(), 11, 0.2f), "");
    host->clearRequests();

    // Up and left of the centre: a plain click there would turn the knob to 1/3, not reset it.
    const POINT corner = knobPoint(11, 10, 10);
    bool automated = false, held = false, placed = false;
    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            placed = hostinput::moveTo(corner);
            held = hostinput::holdKey(VK_CONTROL);
            hostinput::pressLeft();
            // Keys and button stay down until the knob has acted on the click.
            automated = hostinput::waitFor([&] { return countOf(audioMasterAutomate) >= 1; }, 10000);
            hostinput::releaseLeft();
            hostinput::key(VK_CONTROL, false);
            Sleep(50);  // a late begin or end edit would show up now
        },
        60000);
    ASSERT_TRUE(inTime);
    EXPECT_TRUE(placed) << "the cursor did not reach the knob";
    EXPECT_TRUE(held) << "Control not reported down";
    ASSERT_TRUE(automated) << "the Control-click did not reach the knob";

    const std::vector<HostRequest> gesture = editRequestsOf(11);
    ASSERT_EQ(gesture.size(), 1u);
    EXPECT_EQ(gesture[0].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(gesture[0].opt, 0.5f);
    EXPECT_EQ(host->countRequests(audioMasterBeginEdit), 0u);
    EXPECT_EQ(host->countRequests(audioMasterEndEdit), 0u);
    EXPECT_FLOAT_EQ(host->getParameter(11), 0.5f);

    idle();
    EXPECT_EQ(knobDiffers(capture(), 11, 0.5f), "");
}

// A host whose idle dispatches its messages hands the editor a right-button press while a knob drag runs:
// it starts no second gesture.
TEST_F(KnobMouseTest, ARightPressDuringADragStartsNoSecondGesture) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    host->config().idle = [] { hostinput::pumpMessages(); };
    host->clearRequests();
    bool dragging = false, idledMeanwhile = false, ended = false;
    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            hostinput::moveTo(knobPoint(7, 21, 3));
            hostinput::pressLeft();
            dragging = hostinput::waitFor([&] { return countOf(audioMasterAutomate) >= 1; }, 10000);
            hostinput::moveTo(knobPoint(7, 30, 5));
            const size_t idles = countOf(audioMasterIdle);
            hostinput::pressRight();
            // The host's idle inside the drag has dispatched the press.
            idledMeanwhile = hostinput::waitFor([&] { return countOf(audioMasterIdle) >= idles + 2; }, 10000);
            hostinput::releaseRight();
            hostinput::moveTo(knobPoint(7, 40, 21));
            hostinput::releaseLeft();
            ended = hostinput::waitFor([&] { return countOf(audioMasterEndEdit) >= 1; }, 10000);
        },
        60000);
    host->config().idle = nullptr;
    ASSERT_TRUE(inTime);
    ASSERT_TRUE(dragging) << "the drag did not start";
    EXPECT_TRUE(idledMeanwhile);
    EXPECT_TRUE(ended);
    hostinput::pumpMessages();
    EXPECT_EQ(countOf(audioMasterBeginEdit), 1u);
    EXPECT_EQ(countOf(audioMasterEndEdit), 1u);
}

}  // namespace
