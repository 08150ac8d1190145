// Test support for the LV2 UI library: a minimal LV2 host that loads it, hands it a parent window on the
// private Xvfb with the parent, resize, touch, URID map and options features, records what the UI sends,
// and idles it through its idle interface.
#pragma once

#include <dlfcn.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/x11/X11Session.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

struct PortWrite {
    uint32_t port;
    float value;
};

struct Touch {
    uint32_t port;
    bool grabbed;
};

// The UI library, loaded as a host loads it.
struct Lv2UiLibrary {
    Lv2UiLibrary() : handle(dlopen(VOZUV_LV2_UI_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {
        if (!handle) throw std::runtime_error(dlerror());
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(handle, "lv2ui_descriptor"));
        descriptor = entry ? entry(0) : nullptr;
        if (!descriptor) throw std::runtime_error("no UI descriptor");
    }
    ~Lv2UiLibrary() { dlclose(handle); }
    void* handle;
    const LV2UI_Descriptor* descriptor;
};

class Lv2UiHost {
public:
    Lv2UiHost() : screen(privateDisplay().c_str()) {
        Display* d = screen.display();
        parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 40, 300, 762, 104, 0, 0, 0x303030);
        XSelectInput(d, parent, StructureNotifyMask);
        XMapWindow(d, parent);
        XEvent event;
        do XWindowEvent(d, parent, StructureNotifyMask, &event);
        while (event.type != MapNotify);
        sampleRate = 44100.0f;
        options[0] = {LV2_OPTIONS_INSTANCE, 0, map(LV2_PARAMETERS__sampleRate), sizeof(float), map(LV2_ATOM__Float),
                      &sampleRate};
        options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    }
    ~Lv2UiHost() {
        cleanup();
        if (parent) XDestroyWindow(screen.display(), parent);
        XSync(screen.display(), False);
    }

    // Instantiates with every feature, or with those the test leaves in.
    bool instantiate(bool withParent = true, bool withWrite = true) {
        std::vector<const LV2_Feature*> list;
        if (withParent) list.push_back(&parentFeature);
        for (const LV2_Feature* f : {&resizeFeature, &touchFeature, &mapFeature, &optionsFeature}) list.push_back(f);
        list.push_back(nullptr);
        parentFeature.data = reinterpret_cast<void*>(uintptr_t(parentId ? parentId : parent));
        ui = library.descriptor->instantiate(library.descriptor, "urn:brovane:vozuvazirova", "/nowhere/",
                                            withWrite ? &Lv2UiHost::write : nullptr, this, &widget, list.data());
        if (ui) idleInterface = static_cast<const LV2UI_Idle_Interface*>(
                    library.descriptor->extension_data(LV2_UI__idleInterface));
        return ui != nullptr;
    }
    void cleanup() {
        if (ui) library.descriptor->cleanup(ui);
        ui = nullptr;
    }
    int idle() {
        const int gone = idleInterface->idle(ui);
        while (XPending(screen.display()) > 0) {
            XEvent event;
            XNextEvent(screen.display(), &event);
        }
        return gone;
    }
    template <typename Done>
    bool idleUntil(Done done, int timeoutMs = 10000) {
        const uint64_t end = X11EditorHost::nowMs() + uint64_t(timeoutMs);
        for (;;) {
            idle();
            if (done()) return true;
            if (X11EditorHost::nowMs() >= end) return false;
            X11EditorHost::sleepMs(30);
        }
    }
    void portEvent(uint32_t port, float value) {
        library.descriptor->port_event(ui, port, sizeof value, 0, &value);
    }
    bool capture(X11Picture& picture) { return screen.capture(picture, Window(uintptr_t(widget))); }
    void toScreen(int x, int y, int& sx, int& sy) { screen.toScreen(Window(uintptr_t(widget)), x, y, sx, sy); }

    Lv2UiLibrary library;
    X11EditorHost screen;  // the host's connection: windows and read-back
    Window parent = 0;
    Window parentId = 0;  // when set, handed over instead of the parent (a window that is none)
    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    std::vector<PortWrite> writes;
    std::vector<Touch> touches;
    std::atomic<int> grabs{0};
    std::vector<std::pair<int, int>> sizes;

private:
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
        auto* host = static_cast<Lv2UiHost*>(controller);
        if (size == sizeof(float) && protocol == 0) host->writes.push_back({port, *static_cast<const float*>(buffer)});
        else host->writes.push_back({~0u, 0.0f});  // a write in another protocol: never expected
    }
    static int resize(LV2UI_Feature_Handle handle, int width, int height) {
        auto* host = static_cast<Lv2UiHost*>(handle);
        host->sizes.emplace_back(width, height);
        XResizeWindow(host->screen.display(), host->parent, unsigned(width), unsigned(height));
        XSync(host->screen.display(), False);
        return 0;
    }
    static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        auto* host = static_cast<Lv2UiHost*>(handle);
        host->touches.push_back({port, grabbed});
        if (grabbed) ++host->grabs;
    }
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto* uris = static_cast<std::vector<std::string>*>(handle);
        for (size_t i = 0; i < uris->size(); ++i)
            if ((*uris)[i] == uri) return LV2_URID(i + 1);
        uris->push_back(uri);
        return LV2_URID(uris->size());
    }
    LV2_URID map(const char* uri) { return mapUri(&uris, uri); }

    std::vector<std::string> uris;
    float sampleRate;
    LV2_Options_Option options[2];
    LV2UI_Resize resizeData{this, &Lv2UiHost::resize};
    LV2UI_Touch touchData{this, &Lv2UiHost::touch};
    LV2_URID_Map mapData{&uris, &Lv2UiHost::mapUri};
    LV2_Feature parentFeature{LV2_UI__parent, nullptr};
    LV2_Feature resizeFeature{LV2_UI__resize, &resizeData};
    LV2_Feature touchFeature{LV2_UI__touch, &touchData};
    LV2_Feature mapFeature{LV2_URID__map, &mapData};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
};
