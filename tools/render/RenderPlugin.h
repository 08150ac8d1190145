// RenderPlugin: the plug-in as the renderer drives it, loaded in this process (native library) or in
// vozuv-winhost.exe under Wine (Windows DLL). Failures are thrown as RenderError with one clear line.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/hostloader/PluginInfo.h"

class XvfbServer;

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

// The plug-in editor's client area as packed RGB rows, top to bottom.
struct EditorPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// A chunk's buffers: two planar inputs the renderer fills, two planar outputs it reads.
struct AudioSlot {
    float* in[2];
    float* out[2];
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
    // Chunks on their way through the plug-in: the renderer fills a slot's inputs, submits it and later,
    // in submission order, collects it and reads its outputs. openSlots answers how many slots (at least
    // one) may be in flight at once, each of `frames` frames; this default processes at submit.
    virtual int openSlots(int frames);
    virtual AudioSlot slot(int index);
    virtual void submit(int index, int frames, int block);
    virtual void collect(int /*index*/) {}
    // Submitted chunks that may wait to be collected: 0 when submit itself processes.
    virtual int pendingLimit() const { return 0; }

    // Processes like `process`, but with the plug-in's editor open in a host window while the audio
    // plays in real time, and answers the editor's picture once its meters have settled on the levels
    // of the last block: a Windows plug-in through the bridge, a native one in an X11 window.
    virtual EditorPicture processWithEditor(const float* const* inputs, float* const* outputs, int frames, int block);
    // True while the plug-in is still starting and its first answer would keep the caller waiting.
    virtual bool starting() { return false; }
    // Which binary and how: "native library /x/VozuvAzirOVA.so", "32-bit DLL ... under Wine ...".
    virtual std::string description() const = 0;

    // Loads the binary at path: a Windows DLL (by its PE header) through the bridge, anything else in
    // this process. withEditor: the editor will be shown (the bridge then gets an X display); zoom: the
    // editor's scale in percent, given to the plug-in as the user's stored choice would be.
    static std::unique_ptr<RenderPlugin> open(const std::string& path, const ToolPaths& paths,
                                              bool withEditor = false, int zoom = 100);
    // True when the file starts like a Windows executable ("MZ").
    static bool isWindowsBinary(const std::string& path);

protected:
    // A private X display for the editor when DISPLAY is not set; RenderError when Xvfb cannot start.
    static std::unique_ptr<XvfbServer> startPrivateDisplay();

private:
    std::vector<float> ownSlot;  // the default's one slot
    size_t ownSlotFrames = 0;
};
