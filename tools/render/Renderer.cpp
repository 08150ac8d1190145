// Renderer: reads, processes and writes in chunks of whole blocks, measuring as it goes.
#include "tools/render/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "tools/render/AudioReader.h"
#include "tools/render/AudioWriter.h"
#include "tools/render/DeliveryThread.h"
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

// One render's files, buffers and measurements. A chunk goes through three hands: this thread reads it
// into a slot of the plug-in and submits it, the plug-in processes it (in this thread, or in the Wine
// host while this thread goes on), and the delivery thread measures and writes it.
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
          readBuffer(static_cast<size_t>(chunk) * static_cast<size_t>(reader.channels())),
          writeBuffer(readBuffer.size()),
          progress(showProgress ? reader.frames() : 0, reader.sampleRate()) {
        depth = plugin.openSlots(chunk);
        slotFrames.assign(static_cast<size_t>(depth), 0);
        // One slot is being filled and one delivered; the others may wait for the plug-in.
        maxQueued = std::min(plugin.pendingLimit(), std::max(0, depth - 2));
    }

    // Reads the whole input; frames from tailStart on (-1: none) are kept in `tail` instead of processed.
    void run(int block, long long tailStart, std::vector<float> tail[2]) {
        long long position = 0;
        for (;;) {
            const int index = static_cast<int>(submitted % depth);
            freeSlot();
            const AudioSlot slot = plugin.slot(index);
            const int frames = readChunk(slot);
            if (frames <= 0) break;
            int now = frames;
            if (tailStart >= 0) now = static_cast<int>(std::min<long long>(frames, std::max(0LL, tailStart - position)));
            for (int c = 0; c < 2; ++c) tail[c].insert(tail[c].end(), slot.in[c] + now, slot.in[c] + frames);
            position += frames;
            if (now == 0) continue;
            plugin.submit(index, now, block);
            slotFrames[static_cast<size_t>(index)] = now;
            ++submitted;
            while (submitted - collected > maxQueued) collectOldest();
        }
        while (collected < submitted) collectOldest();
        delivery.waitUntilDone(delivery.posted());
    }

    // Statistics, output file and progress for frames the plug-in has processed, in file order.
    void deliver(const float* const* inputs, const float* const* outputs, int frames) {
        result.stats.add(inputs, outputs, channels, frames);
        const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(channels);
        if (writeBuffer.size() < samples) writeBuffer.resize(samples);
        float* to = writeBuffer.data();
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
    // The next chunk of the file into the slot's inputs; a mono file feeds both. Answers the frames read.
    int readChunk(const AudioSlot& slot) {
        long long got = 0;
        const float* from = reader.next(readBuffer.data(), chunk, got);
        const int frames = static_cast<int>(std::max(0LL, got));
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

    // The slot of the next submission held the chunk `depth` submissions back: it must be processed and
    // delivered before it is filled again.
    void freeSlot() {
        while (collected + depth <= submitted) collectOldest();
        delivery.waitUntilDone(submitted - depth + 1);
    }

    void collectOldest() {
        const int index = static_cast<int>(collected % depth);
        plugin.collect(index);
        const int frames = slotFrames[static_cast<size_t>(index)];
        delivery.post([this, index, frames] {
            const AudioSlot slot = plugin.slot(index);
            const float* inputs[2] = {slot.in[0], slot.in[1]};
            const float* outputs[2] = {slot.out[0], slot.out[1]};
            deliver(inputs, outputs, frames);
        });
        ++collected;
    }

    RenderPlugin& plugin;
    AudioReader& reader;
    AudioWriter& writer;
    RenderResult& result;
    const int chunk;
    const int channels;
    int depth = 1;
    int maxQueued = 0;
    long long submitted = 0;  // chunks handed to the plug-in
    long long collected = 0;  // chunks back from it and posted for delivery
    std::vector<int> slotFrames;
    std::vector<float> readBuffer;   // file order, this thread
    std::vector<float> writeBuffer;  // file order, the delivery thread
    ProgressBar progress;
    DeliveryThread delivery;  // last: stopped before anything its jobs use goes
};

}  // namespace

RenderResult Renderer::render(AudioReader& reader, const std::string& output, const std::string& format,
                              bool showProgress, EditorPicture* editorPicture) {
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
