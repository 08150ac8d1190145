// PluginFixture: LoadLibraryA of the tree's DLL, main with the loader's callback.
#include "tests/wine/plugin/PluginFixture.h"

std::string pluginDllPath() {
    std::string path = std::string("Z:") + VOZUV_BINARY_DIR + "/VozuvAzirOVA.dll";
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void PluginFixture::SetUp() {
    ASSERT_TRUE(library.open(pluginDllPath())) << library.error();
    host = makeHost(HostConfig{});
    ASSERT_TRUE(host->instantiate(library.entry())) << host->error();
    effect = host->effect();
}

void PluginFixture::TearDown() { host.reset(); }

std::unique_ptr<PluginHost> PluginFixture::makeHost(HostConfig config) {
    return std::make_unique<PluginHost>(std::move(config));
}
