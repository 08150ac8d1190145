// A host that closes the plug-in, or only its editor, when a dragged control reports a change: the drag
// ends at once and touches nothing that went with the window (the quarantine shows a write into it).
#include <gtest/gtest.h>

#include <functional>

#include "gui/controls/RotaryKnob.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/controls/ControlHarness.h"
#include "tests/editor/FreedMemoryQuarantine.h"

namespace {

class ClosingListener : public ControlListener {
public:
    void valueChanged(DrawSurface*, ValueControl*) override {
        if (++reports == 1 && close) close();
    }
    std::function<void()> close;
    int reports = 0;
};

ValueControl* makeFader(ControlListener* listener) { return makeExampleFader(listener); }

ValueControl* makeKnob(ControlListener* listener) {
    return new RotaryKnob(UiRect{10, 10, 52, 52}, listener, 1, nullptr, nullptr, {0, 0});
}

// The host closes at the listener's first report (an automation notice) or at the first begin-edit or
// idle request the drag sends it; from then on the drag sends nothing and reports nothing. In the modal
// loop, and with the drag fed by window events.
TEST(HostClosesDuringDragTest, DragEndsWhereTheHostClosesEditorOrPlugin) {
    enum class CloseAt { Report, BeginEdit, Idle };
    for (bool events : {false, true})
    for (auto make : {makeFader, makeKnob}) {
        for (CloseAt at : {CloseAt::Report, CloseAt::BeginEdit, CloseAt::Idle}) {
            // A drag fed by the window's events asks the host for no idle: the host's idle feeds it.
            if (events && at == CloseAt::Idle) continue;
            for (bool wholePlugin : {false, true}) {
                SCOPED_TRACE(testing::Message() << "close at " << int(at) << (wholePlugin ? ", plug-in" : ", editor")
                                                << (events ? ", events" : ", modal loop"));
                EditorHarness harness(UiRect{0, 0, 60, 200});
                HeadlessSystem::dragEvents = events;
                ClosingListener listener;
                size_t requestsAtClose = 0;
                auto close = [&] {
                    requestsAtClose = RecordingHost::instance().requests.size();
                    if (wholePlugin) {
                        delete harness.effect;  // effClose: effect, editor, window and controls
                        harness.effect = nullptr;
                    } else {
                        delete harness.window;  // effEditClose: window and controls
                        harness.editor->attach(nullptr);
                    }
                };
                if (at == CloseAt::Report) listener.close = close;
                const VstInt32 opcode = at == CloseAt::BeginEdit ? audioMasterBeginEdit : audioMasterIdle;
                RecordingHost::instance().answer = [&](const HostRequest& r) -> VstIntPtr {
                    if (at != CloseAt::Report && r.opcode == opcode && requestsAtClose == 0) close();
                    return 0;
                };
                harness.window->addChild(make(&listener));
                HeadlessWindow* child = harness.child();
                child->paint();
                quarantine::start();
                scriptDrag(child, {{30, 30}, {31, 60}, {40, 100}, {45, 140}});
                EXPECT_EQ(quarantine::end(), 0) << "blocks written to after they were freed";
                HeadlessSystem::dragEvents = false;
                ASSERT_GT(requestsAtClose, 0u);
                EXPECT_EQ(RecordingHost::instance().requests.size(), requestsAtClose);
                EXPECT_EQ(listener.reports, at == CloseAt::BeginEdit ? 0 : 1);
                RecordingHost::instance().reset();
            }
        }
    }
}

}  // namespace
