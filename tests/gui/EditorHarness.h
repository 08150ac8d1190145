// A recording host, an effect and a toolkit-bound editor whose plug-in window lives in a headless host window.
#pragma once

#include <memory>

#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"
#include "tests/framework/ProbeEffect.h"
#include "tests/framework/RecordingHost.h"

// A GuiEditor whose window is handed in by the test (the real editor builds it in open).
class HarnessEditor : public GuiEditor {
public:
    explicit HarnessEditor(EffectBase* effect) : GuiEditor(effect) {}
    ~HarnessEditor() override { delete pluginWindow; }
    void attach(PluginWindow* window) { pluginWindow = window; }
    void update() override { ++updates; }
    int updates = 0;
};

struct EditorHarness {
    explicit EditorHarness(UiRect bounds = UiRect{0, 0, 300, 100}, int32_t scale = uiscale::kUnit) {
        ScriptedInput::instance().reset();
        RecordingHost::instance().reset();
        effect = new ProbeEffect(RecordingHost::callback);
        editor = new HarnessEditor(effect);  // owned by the effect from here on
        host = std::make_unique<HeadlessWindow>(nullptr, UiRect{200, 100, 200 + bounds.right, 100 + bounds.bottom}, true);
        window = new PluginWindow(bounds, host->handle(), editor, scale);
        editor->attach(window);
    }
    ~EditorHarness() {
        delete effect;  // deletes the editor, which deletes the window
        host.reset();
    }

    HeadlessWindow* child() const { return HeadlessWindow::fromHandle(window->getChildWindow()); }

    // Host requests with the given opcode, in order, as their indices.
    std::vector<VstInt32> requests(VstInt32 opcode) const {
        std::vector<VstInt32> found;
        for (const HostRequest& r : RecordingHost::instance().requests)
            if (r.opcode == opcode) found.push_back(r.index);
        return found;
    }

    ProbeEffect* effect = nullptr;
    HarnessEditor* editor = nullptr;
    std::unique_ptr<HeadlessWindow> host;
    PluginWindow* window = nullptr;
};
