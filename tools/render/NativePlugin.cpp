// NativePlugin: dlopen, main, effOpen; effClose before the library goes.
#include "tools/render/NativePlugin.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "gui/core/UserSettingNames.h"
#include "tools/xvfb/XvfbServer.h"
#include "tools/x11host/X11EditorHost.h"

namespace {
// A meter falls by at most a tenth of its range per redraw and the editor redraws at every idle call:
// ten idles bring any meter down to its value, the rest are margin.
constexpr int kSettleIdles = 15;
constexpr int kIdleMilliseconds = 30;

HostConfig offlineHost() {
    HostConfig config;
    config.offline = true;
    return config;
}


// The editor's scale given to the plug-in through the override it reads before the user's stored choice,
// for as long as the editor opens; the user's settings file is never touched.
class ZoomSetting {
public:
    explicit ZoomSetting(int zoom)
        : variable(std::string(usersettings::kOverridePrefix) + usersettings::kEditorScale) {
        if (const char* old = std::getenv(variable.c_str())) previous = old, hadOld = true;
        setenv(variable.c_str(), std::to_string(zoom).c_str(), 1);
    }
    ~ZoomSetting() {
        if (hadOld) setenv(variable.c_str(), previous.c_str(), 1);
        else unsetenv(variable.c_str());
    }
    ZoomSetting(const ZoomSetting&) = delete;
    ZoomSetting& operator=(const ZoomSetting&) = delete;

private:
    std::string variable;
    std::string previous;
    bool hadOld = false;
};
}  // namespace

NativePlugin::NativePlugin(const std::string& path, int zoom) : host(offlineHost()), zoom(zoom) {
    if (!library.open(path)) throw RenderError("the plug-in failed to load: " + library.error());
    if (!host.instantiate(library.entry())) throw RenderError("the plug-in failed to start: " + host.error());
    host.dispatch(effOpen);
}

NativePlugin::~NativePlugin() { host.close(); }

EditorPicture NativePlugin::processWithEditor(const float* const* inputs, float* const* outputs, int frames, int block) {
    // The plug-in opens its own connection through DISPLAY: a private server is announced there.
    std::unique_ptr<XvfbServer> server;
    const char* set = std::getenv("DISPLAY");
    std::string display = set && *set ? set : "";
    if (display.empty()) {
        server = startPrivateDisplay();
        display = server->display();
        setenv("DISPLAY", display.c_str(), 1);
    }
    X11EditorHost window(display.c_str());
    if (!window.isConnected()) throw RenderError("cannot connect to the X display " + display + " for the editor");
    {
        const ZoomSetting setting(zoom);  // the plug-in works out its scale as its editor opens
        if (!window.open(host)) throw RenderError("the plug-in's editor did not open: " + window.error());
    }

    const double rate = host.config().sampleRate > 0 ? host.config().sampleRate : 44100.0;
    std::atomic<bool> played{false};
    std::thread audio([&] {
        // The host's audio thread: one block at a time, never ahead of the clock.
        const uint64_t start = X11EditorHost::nowMs();
        for (int done = 0; done < frames; done += block) {
            const int n = frames - done < block ? frames - done : block;
            const float* in[2] = {inputs[0] + done, inputs[1] + done};
            float* out[2] = {outputs[0] + done, outputs[1] + done};
            host.processBlocks(in, out, 2, n, block);
            const uint64_t due = start + uint64_t(double(done + n) * 1000.0 / rate);
            const uint64_t now = X11EditorHost::nowMs();
            if (due > now + 2) X11EditorHost::sleepMs(int(due - now));
        }
        played = true;
    });
    while (!played.load()) {
        window.idle();
        X11EditorHost::sleepMs(kIdleMilliseconds);
    }
    audio.join();
    for (int i = 0; i < kSettleIdles; ++i) {
        window.idle();
        X11EditorHost::sleepMs(kIdleMilliseconds);
    }
    X11Picture shot;
    const bool captured = window.capture(shot);
    window.close();
    if (server) unsetenv("DISPLAY");
    if (!captured) throw RenderError("cannot capture the editor window");
    EditorPicture picture;
    picture.width = shot.width;
    picture.height = shot.height;
    picture.rgb = std::move(shot.rgb);
    return picture;
}
