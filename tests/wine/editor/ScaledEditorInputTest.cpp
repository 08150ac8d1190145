// ScaledEditorInputTest: the DLL's editor at 200 % under real mouse input: a knob drag at the scaled place
// gives the values of 100 %, and the size menu resizes the editor through the host.
#include <functional>
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class ScaledEditorInputTest : public HostedEditorFixture {
protected:
    ScaledEditorInputTest() { zoom = 200; }
};

// A click of the right or left button at a panel point, held until the editor has handled it.
bool clickAt(POINT where, bool right, const std::function<bool()>& handled) {
    bool done = false;
    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            hostinput::moveTo(where);
            right ? hostinput::pressRight() : hostinput::pressLeft();
            done = hostinput::waitFor(handled, 10000);
            right ? hostinput::releaseRight() : hostinput::releaseLeft();
        },
        30000);
    return inTime && done;
}

}  // namespace

TEST_F(ScaledEditorInputTest, KnobDragAtTheScaledPlaceGivesTheValuesOf100Percent) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    RECT client;
    GetClientRect(editorWindow, &client);
    EXPECT_EQ(client.right, 1524);
    EXPECT_EQ(client.bottom, 208);
    host->clearRequests();
    // The path of the 100 % test (KnobMouseTest), in panel units: 0.5 straight up, 5/6 level on the right.
    const DragRecord drag = dragKnob(7, {21, 3}, {{30, 5}, {37, 12}, {40, 21}});
    ASSERT_EQ(drag.failure, "");
    const std::vector<HostRequest> gesture = editRequestsOf(7);
    ASSERT_GE(gesture.size(), 5u);
    EXPECT_NEAR(gesture[1].opt, 0.5f, 0.01f);
    EXPECT_NEAR(gesture[gesture.size() - 2].opt, 5.0f / 6.0f, 0.002f);
}

TEST_F(ScaledEditorInputTest, TheSizeMenuAsksTheHostForTheNewSize) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    host->clearRequests();
    auto menuShown = [&] { return ScreenImage::fromWindow(editorWindow).at(px(343), px(55)) == 0xECEFF4u; };
    ASSERT_TRUE(clickAt(panelPoint(300, 30), true, menuShown)) << "the menu did not open";
    // "150%" is the second item: 2 units of padding, then items of 13 units.
    RECT client{};
    auto resized = [&] {
        GetClientRect(editorWindow, &client);
        return client.right == 1143;
    };
    ASSERT_TRUE(clickAt(panelPoint(300 + 2 + 23, 30 + 2 + 13 + 6), false, resized));
    EXPECT_EQ(client.bottom, 156);
    bool asked = false;
    for (const HostRequest& r : host->requests())
        asked |= r.opcode == audioMasterSizeWindow && r.index == 1143 && r.value == 156;
    EXPECT_TRUE(asked);
}
