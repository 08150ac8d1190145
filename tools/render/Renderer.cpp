// Renderer: reads, processes and writes in chunks of whole blocks, measuring as it goes.
#include "tools/render/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "tools/render/AudioReader.h"
#include "tools/render/AudioWriter.h"
#include "tools/render/ProgressBar.h"

double Renderer::staticGain(const PluginInfo& info) {
    double gain = 1.0;
    for (const char* name : {"InputGain", "CompMakeup"}) {
        const VstInt32 index = info.findParameter(name);
        if (index >= 0) gain *= std::pow(10.0, (info.parameters[index].value - 0.5) * 40.0 * 0.05);
    }
    return gain;
}

void Renderer::configure(float sampleRate, int program, const std::vector<std::pair<std::string, float>>& settings) {
    plugin.setSampleRate(sampleRate);
    plugin.setBlockSize(block);
    if (program > 0) plugin.setProgram(program - 1);
    if (settings.empty()) return;
    const PluginInfo info = plugin.info();
    for (const auto& setting : settings) {
        const VstInt32 index = info.findParameter(setting.first);
        if (index < 0) {
            std::string names;
            for (const ParameterInfo& p : info.parameters) {
                if (!p.name.empty()) names += (names.empty() ? "" : ", ") + p.name;
            }
            throw RenderError("unknown parameter \"" + setting.first + "\"; valid names: " + names);
        }
        plugin.setParameter(index, setting.second);
    }
}

RenderResult Renderer::render(const std::string& input, const std::string& output, const std::string& format,
                              bool showProgress, EditorPicture* editorPicture) {
    AudioReader reader(input);
    RenderResult result;
    result.sampleRate = reader.sampleRate();
    result.channels = reader.channels();
    result.stats = RenderStats(staticGain(plugin.info()), reader.frames());
    AudioWriter writer(output, reader.sampleRate(), reader.channels(), format);
    result.outputFormat = writer.formatName();

    const int chunk = block >= kChunkFrames ? block : block * (kChunkFrames / block);
    const size_t n = static_cast<size_t>(chunk);
    const int channels = reader.channels();
    std::vector<float> interleaved(n * static_cast<size_t>(channels));
    std::vector<float> in(2 * n), out(2 * n);
    ProgressBar progress(showProgress ? reader.frames() : 0, reader.sampleRate());

    // Statistics, output file and progress for frames the plug-in has processed, in file order.
    auto deliver = [&](const float* const* inputs, float* const* outputs, int frames) {
        result.stats.add(inputs, outputs, channels, frames);
        std::vector<float> samples(static_cast<size_t>(frames) * channels);
        // A mono file gets the left output.
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) samples[static_cast<size_t>(i) * channels + c] = outputs[c][i];
        }
        writer.write(samples.data(), frames);
        result.frames += frames;
        progress.update(result.frames);
    };

    // For the editor's picture the last second, from a block boundary on, is held back and played with
    // the editor open, so the meters show the levels of the end of the render.
    long long tailStart = -1;
    if (editorPicture) {
        const long long lastSecond = std::max(0LL, reader.frames() - reader.sampleRate());
        tailStart = lastSecond / block * block;
    }
    std::vector<float> tail[2];

    const auto start = std::chrono::steady_clock::now();
    plugin.setMains(true);
    long long position = 0;
    for (;;) {
        const long long got = reader.read(interleaved.data(), chunk);
        if (got <= 0) break;
        const int frames = static_cast<int>(got);
        // A mono file feeds both inputs.
        for (int i = 0; i < frames; ++i) {
            in[i] = interleaved[static_cast<size_t>(i) * channels];
            in[n + i] = interleaved[static_cast<size_t>(i) * channels + (channels - 1)];
        }
        int now = frames;
        if (tailStart >= 0) now = static_cast<int>(std::min<long long>(frames, std::max(0LL, tailStart - position)));
        if (now > 0) {
            const float* inputs[2] = {in.data(), in.data() + n};
            float* outputs[2] = {out.data(), out.data() + n};
            plugin.process(inputs, outputs, now, block);
            deliver(inputs, outputs, now);
        }
        for (int c = 0; c < 2; ++c) {
            const auto from = in.begin() + static_cast<std::ptrdiff_t>(c) * chunk;
            tail[c].insert(tail[c].end(), from + now, from + frames);
        }
        position += got;
    }
    if (editorPicture) {
        const size_t tailFrames = tail[0].size();
        std::vector<float> tailOut(2 * tailFrames);
        const float* inputs[2] = {tail[0].data(), tail[1].data()};
        float* outputs[2] = {tailOut.data(), tailOut.data() + tailFrames};
        const auto editorStart = std::chrono::steady_clock::now();
        *editorPicture = plugin.processWithEditor(inputs, outputs, static_cast<int>(tailFrames), block);
        result.editorSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - editorStart).count();
        result.editorFrames = static_cast<long long>(tailFrames);
        deliver(inputs, outputs, static_cast<int>(tailFrames));
    }
    plugin.setMains(false);
    progress.finish();
    writer.commit();
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() - result.editorSeconds;
    return result;
}
