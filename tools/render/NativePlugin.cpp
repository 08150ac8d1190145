// NativePlugin: dlopen, main, effOpen; effClose before the library goes.
#include "tools/render/NativePlugin.h"

namespace {
HostConfig offlineHost() {
    HostConfig config;
    config.offline = true;
    return config;
}
}  // namespace

NativePlugin::NativePlugin(const std::string& path) : host(offlineHost()) {
    if (!library.open(path)) throw RenderError("the plug-in failed to load: " + library.error());
    if (!host.instantiate(library.entry())) throw RenderError("the plug-in failed to start: " + host.error());
    host.dispatch(effOpen);
}

NativePlugin::~NativePlugin() { host.close(); }
