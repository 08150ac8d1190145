// A host that closes the editor, or the whole plug-in, from inside any request a knob drag sends it: the
// drag stops there, nothing of the window stays behind, and a reopened editor drags, idles and redraws.
#include <gtest/gtest.h>

#include "gui/core/WindowWatch.h"
#include "tests/editor/EditorRig.h"
#include "tests/editor/FreedMemoryQuarantine.h"

namespace {

// A drag on CompThreshold's knob, down and to the left (lower values in either knob mode), long enough
// for the idle pass inside it to reach the host.
void dragThreshold(EditorRig& rig) {
    const UiPoint origin = rig.child()->screenOrigin();
    ScriptedInput::instance()
        .press({origin.h + 444, origin.v + 42})
        .hold(3)
        .moveTo({origin.h + 430, origin.v + 60})
        .wait(200)
        .moveTo({origin.h + 425, origin.v + 70})
        .hold(5)
        .wait(200)
        .release();
    rig.child()->mouseDown(MouseLeft, UiPoint{444, 42});
}

bool isDragRequest(VstInt32 opcode) {
    return opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit ||
           opcode == audioMasterIdle;
}

// Where the host closes: at a request of the plug-in, or when one of its own windows is painted (the
// idle pass inside a drag dispatches one waiting paint, here the host window's first).
constexpr VstInt32 kHostPaint = -1;

// Closes at the first request of the given opcode, or at the host window's paint; answers how many drag
// requests came after it.
struct ClosingHost {
    ClosingHost(EditorRig& rig, VstInt32 closeAt, bool wholePlugin) : rig(rig), wholePlugin(wholePlugin) {
        if (closeAt == kHostPaint) {
            rig.host->hostPaint = [this] { close(); };
            return;
        }
        RecordingHost::instance().answer = [this, closeAt](const HostRequest& r) -> VstIntPtr {
            if (r.opcode == closeAt) close();
            return 0;
        };
    }
    ~ClosingHost() {
        RecordingHost::instance().reset();
        rig.host->hostPaint = nullptr;
    }

    void close() {
        if (closed) return;
        closed = true;
        closedAfter = RecordingHost::instance().requests.size();
        if (wholePlugin) {
            AEffect* record = rig.plugin->getAeffect();
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
            rig.plugin = nullptr;
        } else {
            rig.close();
        }
    }

    size_t dragRequestsAfterClose() const {
        size_t count = 0;
        const auto& seen = RecordingHost::instance().requests;
        for (size_t i = closedAfter; i < seen.size(); ++i) count += isDragRequest(seen[i].opcode);
        return count;
    }

    EditorRig& rig;
    const bool wholePlugin;
    bool closed = false;
    size_t closedAfter = 0;
};

// One host session: open, paint, a drag (circular or linear knob mode) during which the host closes;
// then, with only the editor closed, a reopened editor that must work as the first one did.
void closeDuringDrag(VstInt32 closeAt, bool wholePlugin, VstInt32 knobMode) {
    EditorRig rig;
    GuiEditor::knobMode = knobMode;
    rig.openAndPaint();
    {
        ClosingHost host(rig, closeAt, wholePlugin);
        quarantine::start();
        dragThreshold(rig);
        EXPECT_EQ(quarantine::end(), 0) << "blocks written to after they were freed";
        ASSERT_TRUE(host.closed);
        EXPECT_EQ(host.dragRequestsAfterClose(), 0u);
    }
    if (wholePlugin) return;

    rig.openAndPaint();
    rig.plugin->setParameter(1, 0.9f);
    EXPECT_TRUE(rig.editor->getReadout(1)->isDirty());
    rig.idle();
    EXPECT_FALSE(rig.editor->getReadout(1)->isDirty()) << "the reopened editor's idle redraws nothing";
    dragThreshold(rig);
    EXPECT_EQ(rig.requests({audioMasterBeginEdit}).size(), 1u);
    EXPECT_EQ(rig.requests({audioMasterEndEdit}).size(), 1u);
    EXPECT_FALSE(rig.requests({audioMasterIdle}).empty()) << "the reopened editor's drag runs no idle pass";
}

}  // namespace

TEST(EditorReentryTest, ClosingFromInsideADragStopsItAndLeavesNothingBehind) {
    for (VstInt32 closeAt : std::initializer_list<VstInt32>{
             audioMasterBeginEdit, audioMasterAutomate, audioMasterIdle, audioMasterEndEdit, kHostPaint}) {
        for (bool wholePlugin : {false, true}) {
            for (VstInt32 knobMode : {0, 2}) {
                SCOPED_TRACE(testing::Message()
                             << "closed at opcode " << closeAt << (wholePlugin ? ", plug-in" : ", editor")
                             << ", knob mode " << knobMode);
                const int windows = HeadlessWindow::liveWindowCount();
                const long before = quarantine::liveBlocksOfSize(sizeof(WindowLifeline));
                closeDuringDrag(closeAt, wholePlugin, knobMode);
                closeDuringDrag(closeAt, wholePlugin, knobMode);
                EXPECT_EQ(quarantine::liveBlocksOfSize(sizeof(WindowLifeline)) - before, 0) << "lifelines left behind";
                EXPECT_EQ(HeadlessWindow::liveWindowCount(), windows);
            }
        }
    }
    GuiEditor::knobMode = 0;
}

// A host that opens the editor again without closing it: the first window goes, one close ends all.
TEST(EditorReentryTest, OpeningTwiceThenClosingLeavesNoWindow) {
    EditorRig rig;
    const int windows = HeadlessWindow::liveWindowCount();
    rig.open();
    rig.open();
    EXPECT_EQ(HeadlessWindow::liveWindowCount(), windows + 1);
    EXPECT_EQ(rig.window()->getChildCount(), 19);
    rig.close();
    EXPECT_EQ(HeadlessWindow::liveWindowCount(), windows);
    rig.openAndPaint();
    scriptDrag(rig.child(), {{444, 42}, {462, 60}});
    EXPECT_EQ(rig.requests({audioMasterBeginEdit}).size(), 1u);
}
