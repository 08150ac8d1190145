// PluginFixture: loads this build tree's VozuvAzirOVA.dll through the host loader, as a host does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"

// The DLL's path as Windows sees it (the build tree lies on Wine's drive Z:).
std::string pluginDllPath();

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A second, independently configured host on the same library.
    std::unique_ptr<PluginHost> makeHost(HostConfig config);

    PluginLibrary library;
    std::unique_ptr<PluginHost> host;
    AEffect* effect = nullptr;
};
