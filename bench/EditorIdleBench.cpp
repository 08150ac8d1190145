// The editor's idle pass (effEditIdle) when nothing has changed since the last one, on the headless
// backend: it must draw nothing and cost next to nothing. "draws" counts the idle calls after which the
// window's picture differed from before.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include <cstring>
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

// An open editor, painted once and idled once, as a host leaves it after opening.
struct OpenEditor {
    OpenEditor() : frame(nullptr, UiRect{100, 100, 900, 260}, true) {
        record = CompGatePlugin::createInstance(idleHost);
        dispatch(effEditOpen, frame.handle());
        auto* effect = static_cast<CompGatePlugin*>(EffectBase::fromRecord(record));
        GuiEditor* editor = static_cast<GuiEditor*>(effect->getEditor());
        child = HeadlessWindow::fromHandle(editor->getPluginWindow()->getChildWindow());
        child->paint();
        dispatch(effEditIdle);
    }
    ~OpenEditor() {
        dispatch(effEditClose);
        dispatch(effClose);
    }
    void dispatch(VstInt32 opcode, void* ptr = nullptr) { record->dispatcher(record, opcode, 0, 0, ptr, 0.0f); }

    HeadlessWindow frame;
    AEffect* record = nullptr;
    HeadlessWindow* child = nullptr;
};

void BM_EditorIdleNothingChanged(benchmark::State& state) {
    OpenEditor editor;
    int64_t draws = 0;
    std::vector<unsigned char> before = picture(editor.child);
    for (auto _ : state) {
        editor.dispatch(effEditIdle);
        // Comparing every picture would dwarf the idle call: every 1024th, outside the timing.
        if ((state.iterations() & 1023) == 0) {
            state.PauseTiming();
            std::vector<unsigned char> after = picture(editor.child);
            if (after != before || editor.child->hasPendingPaint()) ++draws;
            before.swap(after);
            state.ResumeTiming();
        }
    }
    state.counters["draws"] = static_cast<double>(draws);
}

}  // namespace

BENCHMARK(BM_EditorIdleNothingChanged);
