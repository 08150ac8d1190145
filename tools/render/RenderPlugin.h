// RenderPlugin: the plug-in as the renderer drives it, loaded in this process (native library) or in
// vozuv-winhost.exe under Wine (Windows DLL). Failures are thrown as RenderError with one clear line.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "tools/hostloader/PluginInfo.h"

struct RenderError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where the Windows build trees are; the environment variables VOZUV_WIN32_DIR and VOZUV_WIN64_DIR
// override the directories configured at build time.
struct ToolPaths {
    std::string win32Dir;
    std::string win64Dir;
    static ToolPaths configured();
    // The product: the 32-bit DLL of the win32 tree.
    std::string defaultPlugin() const { return win32Dir + "/VozuvAzirOVA.dll"; }
};

class RenderPlugin {
public:
    virtual ~RenderPlugin() = default;

    virtual PluginInfo info() = 0;
    virtual void setSampleRate(float rate) = 0;
    virtual void setBlockSize(int frames) = 0;
    virtual void setMains(bool on) = 0;
    virtual void setProgram(int program) = 0;  // 0-based
    virtual void setParameter(int index, float value) = 0;
    virtual float getParameter(int index) = 0;
    // Two planar input and output channels; blocks of at most `block` frames reach processReplacing.
    virtual void process(const float* const* inputs, float* const* outputs, int frames, int block) = 0;
    // Which binary and how: "native library /x/VozuvAzirOVA.so", "32-bit DLL ... under Wine ...".
    virtual std::string description() const = 0;

    // Loads the binary at path: a Windows DLL (by its PE header) through the bridge, anything else in
    // this process.
    static std::unique_ptr<RenderPlugin> open(const std::string& path, const ToolPaths& paths);
};
