// The editor's idle pass (effEditIdle) when nothing has changed since the last one, on the headless
// backend: it must draw nothing and cost next to nothing. "draws" counts the idle calls after which the
// window's picture differed from before.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include <vector>

#include "effect/CompGatePlugin.h"
#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessWindow.h"

namespace {

VstIntPtr VSTCALLBACK idleHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::vector<unsigned char> picture(HeadlessWindow* window) {
    cairo_surface_t* image = window->image();
    cairo_surface_flush(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    return std::vector<unsigned char>(data, data + cairo_image_surface_get_stride(image) * window->height());
}

// An open editor, painted once and idled until its meters have fallen from their opening state (they
// fall a step per pass) and nothing is left to draw.
struct OpenEditor {
    OpenEditor() : frame(nullptr, UiRect{100, 100, 900, 260}, true) {
        record = CompGatePlugin::createInstance(idleHost);
        dispatch(effEditOpen, frame.handle());
        auto* effect = static_cast<CompGatePlugin*>(EffectBase::fromRecord(record));
        GuiEditor* editor = static_cast<GuiEditor*>(effect->getEditor());
        window = editor->getPluginWindow();
        child = HeadlessWindow::fromHandle(window->getChildWindow());
        child->paint();
        for (settlingPasses = 1; settlingPasses <= 100; ++settlingPasses) {
            dispatch(effEditIdle);
            if (!window->isAnythingDirty()) break;
        }
    }
    ~OpenEditor() {
        dispatch(effEditClose);
        dispatch(effClose);
    }
    void dispatch(VstInt32 opcode, void* ptr = nullptr) { record->dispatcher(record, opcode, 0, 0, ptr, 0.0f); }

    HeadlessWindow frame;
    AEffect* record = nullptr;
    PluginWindow* window = nullptr;
    HeadlessWindow* child = nullptr;
    int settlingPasses = 0;
};

void BM_EditorIdleNothingChanged(benchmark::State& state) {
    OpenEditor editor;
    PluginWindow* window = editor.window;
    const std::vector<unsigned char> before = picture(editor.child);
    int64_t dirtyPasses = 0;
    for (auto _ : state) {
        editor.dispatch(effEditIdle);
        // A pass that found something to draw leaves it dirty or drawn; looked at every 64th pass so
        // the look costs next to nothing.
        if ((state.iterations() & 63) == 0 && window->isAnythingDirty()) ++dirtyPasses;
    }
    const bool changed = picture(editor.child) != before || editor.child->hasPendingPaint();
    state.counters["draws"] = static_cast<double>(dirtyPasses + (changed ? 1 : 0));
    state.counters["settling_passes"] = editor.settlingPasses;
}

}  // namespace

BENCHMARK(BM_EditorIdleNothingChanged);
