// Cost of the native plug-in's X11 editor as a Linux host drives it: one effEditIdle with nothing to
// redraw, a full repaint after the host's window was exposed, and a knob change shown at idle.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "effect/CompGatePlugin.h"
#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/xvfb/XvfbServer.h"
#include "tools/x11host/X11EditorHost.h"

namespace {

// The library, an instance, a private Xvfb when DISPLAY is not set, the editor open and settled.
struct OpenEditor {
    OpenEditor() {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            server = std::make_unique<XvfbServer>();
            setenv("DISPLAY", server->display().c_str(), 1);
        }
        if (!library.open(VOZUV_NATIVE_PLUGIN)) throw std::runtime_error(library.error());
        if (!host.instantiate(library.entry())) throw std::runtime_error(host.error());
        host.dispatch(effOpen);
        window = std::make_unique<X11EditorHost>();
        if (!window->open(host)) throw std::runtime_error(window->error());
        // First paint, then the meters fall to rest.
        for (int i = 0; i < 30; ++i) {
            window->idle();
            X11EditorHost::sleepMs(5);
        }
    }
    ~OpenEditor() {
        window.reset();
        host.close();
    }
    std::unique_ptr<XvfbServer> server;
    PluginLibrary library;
    PluginHost host;
    std::unique_ptr<X11EditorHost> window;
};

OpenEditor& editor() {
    static OpenEditor open;
    return open;
}

void BM_IdleNothingToRedraw(benchmark::State& state) {
    OpenEditor& e = editor();
    for (auto _ : state) e.host.dispatch(effEditIdle);
}
BENCHMARK(BM_IdleNothingToRedraw)->Unit(benchmark::kMicrosecond);

// The host's window is uncovered: the server exposes the editor, the next idle draws all of it into the
// image and sends every pixel.
void BM_FullRepaintAfterExpose(benchmark::State& state) {
    OpenEditor& e = editor();
    Display* display = e.window->display();
    const Window child = e.window->editorWindow();
    for (auto _ : state) {
        XClearArea(display, child, 0, 0, 0, 0, True);
        XSync(display, False);
        e.host.dispatch(effEditIdle);
    }
}
BENCHMARK(BM_FullRepaintAfterExpose)->Unit(benchmark::kMicrosecond);

// A host automation set: the knob and its read-out redraw at the next idle and only they are sent.
void BM_AutomatedKnobAtIdle(benchmark::State& state) {
    OpenEditor& e = editor();
    float value = 0.0f;
    for (auto _ : state) {
        value = value >= 1.0f ? 0.0f : value + 0.05f;
        e.host.setParameter(7, value);
        e.host.dispatch(effEditIdle);
    }
}
BENCHMARK(BM_AutomatedKnobAtIdle)->Unit(benchmark::kMicrosecond);

// The same full repaint on the headless backend in this process: the drawing alone, no transport.
VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void BM_HeadlessFullRepaint(benchmark::State& state) {
    CompGatePlugin* plugin = new CompGatePlugin(&quietHost);
    HeadlessWindow parent(nullptr, UiRect{0, 0, 800, 200});
    plugin->dispatch(effEditOpen, 0, 0, parent.handle(), 0.0f);
    auto* editor = static_cast<GuiEditor*>(plugin->getEditor());
    HeadlessWindow* child = HeadlessWindow::fromHandle(editor->getPluginWindow()->getChildWindow());
    for (auto _ : state) child->paint();
    delete plugin;
}
BENCHMARK(BM_HeadlessFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
