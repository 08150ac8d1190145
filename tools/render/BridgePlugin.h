// BridgePlugin: a Windows plug-in DLL served by vozuv-winhost.exe under Wine, driven over its pipes.
#pragma once

#include <memory>
#include <vector>

#include "tools/hostloader/BridgeMessage.h"
#include "tools/render/BridgeProcess.h"
#include "tools/render/RenderPlugin.h"

class BridgePlugin : public RenderPlugin {
public:
    // flavour: "win32" or "win64", the DLL's machine.
    BridgePlugin(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths);
    ~BridgePlugin() override;

    PluginInfo info() override;
    void setSampleRate(float rate) override;
    void setBlockSize(int frames) override;
    void setMains(bool on) override;
    void setProgram(int program) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    void process(const float* const* inputs, float* const* outputs, int frames, int block) override;
    std::string description() const override { return about; }

    // A raw dispatcher call through the bridge; text is what the plug-in wrote at ptr.
    int64_t dispatch(int32_t opcode, int32_t index, int64_t value, float opt, std::string* text = nullptr);
    // Times the plug-in has sent a host request with this opcode.
    uint32_t requestCount(int32_t opcode);
    // Ends the session: the winhost closes the instance and exits; answers its exit status.
    int quit();

    // The vozuv-winhost.exe that serves this flavour, "" when none (searched list in `searched`).
    static std::string findWinHost(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths,
                                   std::string& searched);
    // Creates the Wine prefix once (under a lock, as scripts/wine-run.sh does).
    static void preparePrefix(const std::string& prefix);

private:
    std::vector<uint8_t> request(uint32_t code, const MessageWriter& payload);

    std::unique_ptr<BridgeProcess> process_;
    std::string about;
    bool closed = false;
};
