// Renderer: reads, processes and writes in chunks of whole blocks, measuring as it goes.
#include "tools/render/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>

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

namespace {

// One render's files, buffers and measurements; the chunks pass through the plug-in's slots.
class ChunkRun {
public:
    ChunkRun(RenderPlugin& plugin, AudioReader& reader, AudioWriter& writer, RenderResult& result, int chunk,
             bool showProgress)
        : plugin(plugin),
          reader(reader),
          writer(writer),
          result(result),
          chunk(chunk),
          channels(reader.channels()),
          interleaved(static_cast<size_t>(chunk) * static_cast<size_t>(reader.channels())),
          progress(showProgress ? reader.frames() : 0, reader.sampleRate()) {
        depth = plugin.openSlots(chunk);
    }

    // Reads the whole input; frames from tailStart on (-1: none) are kept in `tail` instead of processed.
    void run(int block, long long tailStart, std::vector<float> tail[2]) {
        long long position = 0;
        int next = 0;
        for (;;) {
            if (static_cast<int>(inFlight.size()) == depth) finishOldest();
            const AudioSlot slot = plugin.slot(next);
            const int frames = readChunk(slot);
            if (frames <= 0) break;
            int now = frames;
            if (tailStart >= 0) now = static_cast<int>(std::min<long long>(frames, std::max(0LL, tailStart - position)));
            for (int c = 0; c < 2; ++c) tail[c].insert(tail[c].end(), slot.in[c] + now, slot.in[c] + frames);
            if (now > 0) {
                plugin.submit(next, now, block);
                inFlight.push_back({next, now});
                next = (next + 1) % depth;
            }
            position += frames;
        }
        while (!inFlight.empty()) finishOldest();
    }

    // Statistics, output file and progress for frames the plug-in has processed, in file order.
    void deliver(const float* const* inputs, const float* const* outputs, int frames) {
        result.stats.add(inputs, outputs, channels, frames);
        if (interleaved.size() < static_cast<size_t>(frames) * channels) interleaved.resize(static_cast<size_t>(frames) * channels);
        float* to = interleaved.data();
        // A mono file gets the left output.
        if (channels == 2) {
            for (int i = 0; i < frames; ++i) {
                to[2 * i] = outputs[0][i];
                to[2 * i + 1] = outputs[1][i];
            }
        } else {
            std::copy(outputs[0], outputs[0] + frames, to);
        }
        writer.write(to, frames);
        result.frames += frames;
        progress.update(result.frames);
    }

    void finishProgress() { progress.finish(); }

private:
    struct Pending {
        int slot;
        int frames;
    };

    // The next chunk of the file into the slot's inputs; a mono file feeds both. Answers the frames read.
    int readChunk(const AudioSlot& slot) {
        const long long got = reader.read(interleaved.data(), chunk);
        const int frames = static_cast<int>(std::max(0LL, got));
        const float* from = interleaved.data();
        if (channels == 2) {
            for (int i = 0; i < frames; ++i) {
                slot.in[0][i] = from[2 * i];
                slot.in[1][i] = from[2 * i + 1];
            }
        } else {
            std::copy(from, from + frames, slot.in[0]);
            std::copy(from, from + frames, slot.in[1]);
        }
        return frames;
    }

    void finishOldest() {
        const Pending p = inFlight.front();
        inFlight.pop_front();
        plugin.collect(p.slot);
        const AudioSlot slot = plugin.slot(p.slot);
        const float* inputs[2] = {slot.in[0], slot.in[1]};
        const float* outputs[2] = {slot.out[0], slot.out[1]};
        deliver(inputs, outputs, p.frames);
    }

    RenderPlugin& plugin;
    AudioReader& reader;
    AudioWriter& writer;
    RenderResult& result;
    const int chunk;
    const int channels;
    int depth = 1;
    std::vector<float> interleaved;  // file order, for reading and writing
    std::deque<Pending> inFlight;
    ProgressBar progress;
};

}  // namespace

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
    // For the editor's picture the last second, from a block boundary on, is held back and played with
    // the editor open, so the meters show the levels of the end of the render.
    long long tailStart = -1;
    if (editorPicture) {
        const long long lastSecond = std::max(0LL, reader.frames() - reader.sampleRate());
        tailStart = lastSecond / block * block;
    }
    std::vector<float> tail[2];

    const auto start = std::chrono::steady_clock::now();
    ChunkRun run(plugin, reader, writer, result, chunk, showProgress);
    plugin.setMains(true);
    run.run(block, tailStart, tail);
    if (editorPicture) playTailWithEditor(run, tail, result, *editorPicture);
    plugin.setMains(false);
    run.finishProgress();
    writer.commit();
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() - result.editorSeconds;
    return result;
}

template <typename Run>
void Renderer::playTailWithEditor(Run& run, std::vector<float> tail[2], RenderResult& result, EditorPicture& picture) {
    const size_t tailFrames = tail[0].size();
    std::vector<float> tailOut(2 * tailFrames);
    const float* inputs[2] = {tail[0].data(), tail[1].data()};
    float* outputs[2] = {tailOut.data(), tailOut.data() + tailFrames};
    const auto editorStart = std::chrono::steady_clock::now();
    picture = plugin.processWithEditor(inputs, outputs, static_cast<int>(tailFrames), block);
    result.editorSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - editorStart).count();
    result.editorFrames = static_cast<long long>(tailFrames);
    const float* delivered[2] = {outputs[0], outputs[1]};
    run.deliver(inputs, delivered, static_cast<int>(tailFrames));
}
