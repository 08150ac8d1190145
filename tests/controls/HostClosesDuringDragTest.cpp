// A host that closes the plug-in, or only its editor, when a dragged control reports a change: the drag
// ends at once and touches nothing that went with the window.
#include <gtest/gtest.h>

#include <functional>

#include "gui/controls/RotaryKnob.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/controls/ControlHarness.h"

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

TEST(HostClosesDuringDragTest, DragEndsAtTheFirstReportWhenTheHostClosesEditorOrPlugin) {
    // In the modal loop, and with the drag fed by window events.
    for (bool events : {false, true})
        for (auto make : {makeFader, makeKnob}) {
            for (bool wholePlugin : {false, true}) {
                EditorHarness harness(UiRect{0, 0, 60, 200});
                HeadlessSystem::dragEvents = events;
                ClosingListener listener;
                listener.close = [&] {
                    if (wholePlugin) {
                        delete harness.effect;  // effClose: effect, editor, window and controls
                        harness.effect = nullptr;
                    } else {
                        delete harness.window;  // effEditClose: window and controls
                        harness.editor->attach(nullptr);
                    }
                };
                harness.window->addChild(make(&listener));
                HeadlessWindow* child = harness.child();
                child->paint();
                scriptDrag(child, {{30, 30}, {31, 60}, {40, 100}, {45, 140}});
                HeadlessSystem::dragEvents = false;
                EXPECT_EQ(listener.reports, 1) << (wholePlugin ? "plug-in" : "editor") << " closed";
            }
        }
}

}  // namespace
