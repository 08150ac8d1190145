// Test support for the native plug-in's X11 editor: a private Xvfb for the test process, the real
// library on a recording host, the editor in a host window, and the headless picture of the same state.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "editor/CompGateEditor.h"
#include "effect/CompGatePlugin.h"
#include "gui/controls/FilmstripKnob.h"
#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/xvfb/XvfbServer.h"
#include "tools/x11host/X11EditorHost.h"

#include <X11/extensions/XRes.h>

// One Xvfb per test process (no window manager, no TCP), started on first use and stopped at exit; the
// plug-in opens its own connection through DISPLAY. A connection held for the whole run keeps the server
// from resetting whenever its last other client leaves, which refuses connections made meanwhile.
inline const std::string& privateDisplay() {
    static std::unique_ptr<XvfbServer> server;
    [[maybe_unused]] static Display* keeper = nullptr;
    if (!server) {
        server = std::make_unique<XvfbServer>();
        setenv("DISPLAY", server->display().c_str(), 1);
        keeper = XOpenDisplay(server->display().c_str());
    }
    return server->display();
}

// The native library and one instance of it on a host that records its requests.
struct NativeInstance {
    NativeInstance() {
        privateDisplay();
        if (!library.open(VOZUV_NATIVE_PLUGIN)) throw std::runtime_error(library.error());
        if (!host.instantiate(library.entry())) throw std::runtime_error(host.error());
        host.dispatch(effOpen);
        host.setSampleRate(44100.0f);
        host.setBlockSize(256);
        host.setMains(true);
    }
    ~NativeInstance() {
        window.reset();
        if (host.effect()) host.close();
    }
    // Opens the editor in a fresh host window and idles until its first picture is up.
    void openEditor() {
        window = std::make_unique<X11EditorHost>(privateDisplay().c_str());
        ASSERT_TRUE(window->open(host)) << window->error();
        ASSERT_TRUE(window->idleUntil([&] { return window->editorWindow() != 0; }));
    }
    PluginLibrary library;
    PluginHost host;
    std::unique_ptr<X11EditorHost> window;
};

// The same editor on the headless backend, in this process: the reference picture.
struct HeadlessReference {
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    HeadlessReference() : plugin(new CompGatePlugin(&callback)), parent(nullptr, UiRect{0, 0, 900, 200}) {
        // The start NativeInstance gives its instance, so both show the same state.
        plugin->dispatch(effOpen, 0, 0, nullptr, 0.0f);
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        plugin->dispatch(effSetBlockSize, 0, 256, nullptr, 0.0f);
        plugin->dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
        plugin->dispatch(effEditOpen, 0, 0, parent.handle(), 0.0f);
        child()->paint();
        // Meters fall a tenth of their range per redraw: twenty idles settle them.
        for (int i = 0; i < 20; ++i) plugin->dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
    }
    ~HeadlessReference() { delete plugin; }
    HeadlessWindow* child() {
        auto* editor = static_cast<GuiEditor*>(plugin->getEditor());
        return HeadlessWindow::fromHandle(editor->getPluginWindow()->getChildWindow());
    }
    void setParameter(VstInt32 index, float value) {
        plugin->setParameter(index, value);
        plugin->dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
    }
    // Centre of the knob of a parameter, in editor coordinates.
    UiPoint knobCentre(VstInt32 index) {
        UiRect r;
        static_cast<CompGateEditor*>(plugin->getEditor())->getKnob(index)->getBounds(r);
        return UiPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Index of the first pixel that differs, -1 when the pictures are equal.
    long firstDifference(const X11Picture& picture) {
        HeadlessWindow* image = child();
        if (picture.width != image->width() || picture.height != image->height()) return 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const UiColor c = image->pixel(x, y);
                if (picture.pixel(x, y) != (uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue))
                    return long(y) * picture.width + x;
            }
        return -1;
    }
    CompGatePlugin* plugin;
    HeadlessWindow parent;
};

// Clients connected to the server (XRes): the plug-in's own connection is one of them while open.
inline int serverClientCount(Display* display) {
    int count = 0;
    XResClient* clients = nullptr;
    if (!XResQueryClients(display, &count, &clients)) return -1;
    if (clients) XFree(clients);
    return count;
}
