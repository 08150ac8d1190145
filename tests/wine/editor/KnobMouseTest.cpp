// KnobMouseTest: real mouse input on the editor's knobs reaches the effect and the host's automation.
#include <cmath>
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class KnobMouseTest : public HostedEditorFixture {
protected:
    // The host's record of the edit gesture of one parameter: begin edit, automation, end edit.
    std::vector<HostRequest> gestureOf(VstInt32 parameter) const {
        std::vector<HostRequest> seen;
        for (const HostRequest& r : host->requests()) {
            const bool edit = r.opcode == audioMasterBeginEdit || r.opcode == audioMasterEndEdit ||
                              r.opcode == audioMasterAutomate;
            if (edit && r.index == parameter) seen.push_back(r);
        }
        return seen;
    }
    size_t countOf(VstInt32 opcode) const { return host->countRequests(opcode); }
    POINT knobPoint(VstInt32 parameter, int x, int y) const {
        return toScreen(layout::knobLeft(parameter) + x, layout::knobTop + y);
    }
};

TEST_F(KnobMouseTest, DragAutomatesItsParameterBetweenBeginAndEndEdit) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_FLOAT_EQ(host->getParameter(7), 1.0f);
    host->clearRequests();

    // Circular mode: straight above the centre is 0.5; level with the centre on the right is 0.8333.
    const POINT top = knobPoint(7, 21, 3);
    const std::vector<POINT> path = {knobPoint(7, 30, 5), knobPoint(7, 37, 12), knobPoint(7, 40, 21)};
    bool moved = true, began = false, followed = true, ended = false;
    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            moved = hostinput::moveTo(top);
            hostinput::pressLeft();
            // The knob's loop runs inside the button-down message: wait for it before moving on.
            began = hostinput::waitFor([&] { return countOf(audioMasterBeginEdit) == 1; }, 3000);
            for (const POINT& p : path) {
                const size_t automated = countOf(audioMasterAutomate);
                moved = hostinput::moveTo(p) && moved;
                followed = hostinput::waitFor([&] { return countOf(audioMasterAutomate) > automated; }, 2000) &&
                           followed;
            }
            hostinput::releaseLeft();
            ended = hostinput::waitFor([&] { return countOf(audioMasterEndEdit) == 1; }, 3000);
        },
        15000);
    ASSERT_TRUE(inTime);
    EXPECT_TRUE(moved) << "the cursor did not reach a point of the path";
    ASSERT_TRUE(began) << "no audioMasterBeginEdit: the click did not reach the knob";
    EXPECT_TRUE(followed) << "a move of the cursor changed nothing";
    EXPECT_TRUE(ended) << "no audioMasterEndEdit after the release";

    const std::vector<HostRequest> gesture = gestureOf(7);
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
    bool automated = false, held = false;
    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            hostinput::moveTo(corner);
            held = hostinput::holdKey(VK_CONTROL);
            hostinput::pressLeft();
            // Keys and button stay down until the knob has acted on the click.
            automated = hostinput::waitFor([&] { return countOf(audioMasterAutomate) >= 1; }, 3000);
            hostinput::releaseLeft();
            hostinput::key(VK_CONTROL, false);
            Sleep(50);  // a late begin or end edit would show up now
        },
        10000);
    ASSERT_TRUE(inTime);
    EXPECT_TRUE(held) << "Control not reported down";
    ASSERT_TRUE(automated) << "the Control-click did not reach the knob";

    const std::vector<HostRequest> gesture = gestureOf(11);
    ASSERT_EQ(gesture.size(), 1u);
    EXPECT_EQ(gesture[0].opcode, audioMasterAutomate);
    EXPECT_FLOAT_EQ(gesture[0].opt, 0.5f);
    EXPECT_EQ(host->countRequests(audioMasterBeginEdit), 0u);
    EXPECT_EQ(host->countRequests(audioMasterEndEdit), 0u);
    EXPECT_FLOAT_EQ(host->getParameter(11), 0.5f);

    idle();
    EXPECT_EQ(knobDiffers(capture(), 11, 0.5f), "");
}

}  // namespace
