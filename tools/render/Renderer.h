// Renderer: the host's render loop: tells the plug-in the file's rate and the block size, applies the
// program and settings, switches it on and runs the file through it block by block.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/hostloader/PluginInfo.h"
#include "tools/render/AudioReader.h"
#include "tools/render/RenderPlugin.h"
#include "tools/render/RenderStats.h"

struct RenderResult {
    RenderStats stats{1.0, 0};
    int sampleRate = 0;
    int channels = 0;
    long long frames = 0;
    double seconds = 0.0;  // wall time of the render, without the time the editor was open
    long long editorFrames = 0;  // frames played with the editor open (real time)
    double editorSeconds = 0.0;
    std::string outputFormat;
};

class Renderer {
public:
    static constexpr int kChunkFrames = 16384;  // frames handed to the plug-in side per call

    Renderer(RenderPlugin& plugin, int blockFrames) : plugin(plugin), block(blockFrames) {}

    // Program (1 to 16, 0 keeps the current one) and settings by parameter name; an unknown name
    // throws with the list of valid ones. The sample rate goes first: time constants depend on it.
    void configure(float sampleRate, int program, const std::vector<std::pair<std::string, float>>& settings);
    // With editorPicture, the end of the file plays with the plug-in's editor open and its picture is
    // stored there.
    // reader: the input, from its first frame not yet taken (what it read ahead comes first).
    RenderResult render(AudioReader& reader, const std::string& output, const std::string& format,
                        bool showProgress, EditorPicture* editorPicture = nullptr);

    // The gain the plug-in applies to a signal it does not compress: input gain times make-up
    // (both +-20 dB around the middle of their range); 1 when the plug-in has neither.
    static double staticGain(const PluginInfo& info);

private:
    // The held-back end of the file, played with the editor open; its output joins the file.
    template <typename Run>
    void playTailWithEditor(Run& run, std::vector<float> tail[2], RenderResult& result, EditorPicture& picture);

    RenderPlugin& plugin;
    int block;
};
