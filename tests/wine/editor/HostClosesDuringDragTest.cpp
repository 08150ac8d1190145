// HostClosesDuringDragTest: a host that closes the editor, or the whole plug-in, from its idle callback while
// a knob is being dragged: the drag ends quietly, no window is left, and the editor opens again.
#include <atomic>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class HostClosesDuringDragTest : public HostedEditorFixture {
protected:
    // Arms the host to run closeAction from its first audioMasterIdle of the knob drag, then presses on the
    // knob of parameter 7, keeps moving until the host has closed, and lets go. False when it never closed.
    bool dragUntilClosed(const std::function<void()>& closeAction) {
        std::atomic<bool> armed{false}, closed{false};
        host->config().idle = [&] {
            if (!armed || closed) return;
            closed = true;
            closeAction();
        };
        host->clearRequests();
        const bool inTime = hostinput::runWhileDispatching(
            [&] {
                hostinput::moveTo(knobPoint(7, 21, 3));
                armed = true;
                hostinput::pressLeft();
                // The loop keeps reading the cursor after the close: give it somewhere new to go.
                for (int step = 0; step < 40 && !closed; ++step) {
                    hostinput::moveTo(knobPoint(7, 30 + step % 10, 5 + step % 7));
                    hostinput::waitFor([&] { return closed.load(); }, 100);
                }
                hostinput::moveTo(knobPoint(7, 40, 21));
                hostinput::releaseLeft();
            },
            20000);
        armed = false;
        host->config().idle = nullptr;  // it refers to this frame
        EXPECT_TRUE(inTime) << "the drag did not end in time";
        hostinput::pumpMessages();
        return closed;
    }
};

TEST_F(HostClosesDuringDragTest, EditorClosedFromIdleEndsTheDragAndOpensAgain) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_TRUE(dragUntilClosed([this] { host->dispatch(effEditClose); }));
    editorOpen = false;
    EXPECT_EQ(editorChildCount(), 0);

    ASSERT_NO_FATAL_FAILURE(openEditor());
    EXPECT_EQ(editorChildCount(), 1);
    idle(3);
    EXPECT_EQ(knobDiffers(capture(), 7, host->getParameter(7)), "");
    // The editor's idle pass works again: a parameter set by the host reaches the knob.
    host->setParameter(7, 0.25f);
    idle(3);
    EXPECT_EQ(knobDiffers(capture(), 7, 0.25f), "");
}

TEST_F(HostClosesDuringDragTest, PluginClosedFromIdleEndsTheDragAndANewOneOpens) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ASSERT_TRUE(dragUntilClosed([this] { host->close(); }));
    editorOpen = false;
    EXPECT_EQ(host->effect(), nullptr);
    EXPECT_EQ(editorChildCount(), 0);
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(binary.module, binary.className.c_str(), &info)) << "window class left registered";

    host = startPlugin();
    ASSERT_TRUE(host);
    ASSERT_NO_FATAL_FAILURE(openEditor());
    EXPECT_EQ(editorChildCount(), 1);
    EXPECT_EQ(knobDiffers(capture(), 7, host->getParameter(7)), "");
}

}  // namespace
