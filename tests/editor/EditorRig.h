// Test support for the plug-in's editor: an instance on a recording host, its editor in a headless host window.
#pragma once

#include <memory>
#include <vector>

#include "editor/CompGateEditor.h"
#include "effect/CompGatePlugin.h"
#include "gui/controls/FilmstripKnob.h"
#include "gui/controls/LevelMeter.h"
#include "gui/controls/ValueReadout.h"
#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"
#include "tests/controls/ControlHarness.h"
#include "tests/framework/RecordingHost.h"

// The plug-in's editor with its update calls counted, so that update requests can be seen.
class CountingEditor : public CompGateEditor {
public:
    explicit CountingEditor(EffectBase* effect) : CompGateEditor(effect) {}
    void update() override { ++updates; }
    int updates = 0;
};

struct EditorRig {
    EditorRig() {
        ScriptedInput::instance().reset();
        RecordingHost::instance().reset();
        GuiEditor::knobMode = 0;
        plugin = new CompGatePlugin(RecordingHost::callback);
        delete plugin->getEditor();
        editor = new CountingEditor(plugin);  // enters itself in place of the instance's own editor
        host = std::make_unique<HeadlessWindow>(nullptr, UiRect{100, 100, 900, 260}, true);
    }
    ~EditorRig() {
        delete plugin;  // closes the editor's window if still open
        host.reset();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }
    void open() { dispatch(effEditOpen, 0, 0, host->handle()); }
    void close() { dispatch(effEditClose); }
    // Opens and lets the host paint the window once, as a host does right after opening.
    void openAndPaint() {
        open();
        child()->paint();
        dispatch(effEditIdle);
        editor->updates = 0;
        RecordingHost::instance().requests.clear();
    }
    void idle() { dispatch(effEditIdle); }

    PluginWindow* window() const { return editor->getPluginWindow(); }
    HeadlessWindow* child() const { return window() ? HeadlessWindow::fromHandle(window()->getChildWindow()) : nullptr; }

    // Requests of the given opcodes, in order, as (opcode, index) pairs.
    std::vector<std::pair<VstInt32, VstInt32>> requests(std::initializer_list<VstInt32> opcodes) const {
        std::vector<std::pair<VstInt32, VstInt32>> found;
        for (const HostRequest& r : RecordingHost::instance().requests)
            for (VstInt32 op : opcodes)
                if (r.opcode == op) found.emplace_back(r.opcode, r.index);
        return found;
    }

    CompGatePlugin* plugin = nullptr;
    CountingEditor* editor = nullptr;
    std::unique_ptr<HeadlessWindow> host;
};

// First row of the knob strip's frame for a value: the frame that contains row trunc(2368 v).
inline int stripRowFor(float value) { return int(2368.0 * double(value)) / 37 * 37; }
