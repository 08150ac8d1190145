// NativePlugin: a native plug-in library loaded into the renderer's own process.
#pragma once

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/render/RenderPlugin.h"

class NativePlugin : public RenderPlugin {
public:
    // zoom: the editor's scale in percent, handed to the plug-in through its settings override while its
    // editor opens (the user's own settings stay untouched).
    explicit NativePlugin(const std::string& path, int zoom = 100);
    ~NativePlugin() override;

    PluginInfo info() override { return PluginInfo::read(host); }
    void setSampleRate(float rate) override { host.setSampleRate(rate); }
    void setBlockSize(int frames) override { host.setBlockSize(frames); }
    void setMains(bool on) override { host.setMains(on); }
    void setProgram(int program) override { host.setProgram(program); }
    void setParameter(int index, float value) override { host.setParameter(index, value); }
    float getParameter(int index) override { return host.getParameter(index); }
    void process(const float* const* inputs, float* const* outputs, int frames, int block) override {
        host.processBlocks(inputs, outputs, 2, frames, block);
    }
    // The editor in an X11 window ($DISPLAY, or a private Xvfb when none is set) while the audio plays
    // in real time on another thread, idled every 30 ms as Linux hosts do.
    EditorPicture processWithEditor(const float* const* inputs, float* const* outputs, int frames, int block) override;
    std::string description() const override { return "native library " + library.path(); }

private:
    PluginLibrary library;
    PluginHost host;
    int zoom;
};
