// processReplacing cost per stereo frame under heavy compression: on noise, and on silence after a burst.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "base/WhiteNoise.h"
#include "effect/CompGatePlugin.h"

namespace {

VstIntPtr VSTCALLBACK benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// An instance set for heavy compression: threshold -60 dB, the largest ratio.
class Compressor {
public:
    Compressor() : record(CompGatePlugin::createInstance(benchHost)) {
        record->setParameter(record, 7, 0.0f);
        record->setParameter(record, 8, 1.0f);
    }
    ~Compressor() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

    void process(std::vector<float>& left, std::vector<float>& right, std::vector<float>& outL,
                 std::vector<float>& outR, int frames, size_t offset = 0) {
        float* inputs[2] = {left.data() + offset, right.data() + offset};
        float* outputs[2] = {outL.data(), outR.data()};
        record->processReplacing(record, inputs, outputs, frames);
    }

    AEffect* record;
};

void reportPerFrame(benchmark::State& state, int frames) {
    // Seconds of CPU time per stereo frame, printed with an SI prefix (n = nanoseconds).
    state.counters["s/frame"] = benchmark::Counter(double(frames), benchmark::Counter::kIsIterationInvariantRate |
                                                                       benchmark::Counter::kInvert);
}

void BM_Noise(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Compressor compressor;
    // A second of noise to cycle through, so the branches see fresh data.
    const size_t span = 44100;
    auto left = whiteNoise(span + frames, 0.9f, 1), right = whiteNoise(span + frames, 0.9f, 2);
    std::vector<float> outL(frames), outR(frames);
    size_t offset = 0;
    for (auto _ : state) {
        compressor.process(left, right, outL, outR, frames, offset);
        benchmark::DoNotOptimize(outL.data());
        offset = (offset + frames) % span;
    }
    reportPerFrame(state, frames);
}

void BM_SilenceAfterBurst(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Compressor compressor;
    // A loud second, then 40 s of silence: long enough for every envelope to have decayed out of the
    // normal range, where subnormal arithmetic would show.
    auto burstL = whiteNoise(44100, 1.0f, 3), burstR = whiteNoise(44100, 1.0f, 4);
    std::vector<float> outL(44100), outR(44100);
    compressor.process(burstL, burstR, outL, outR, 44100);
    std::vector<float> silence(frames > 4096 ? frames : 4096, 0.0f);
    std::vector<float> silenceR(silence.size(), 0.0f);
    for (int n = 0; n < 44100 * 40 / 4096; ++n) compressor.process(silence, silenceR, outL, outR, 4096);
    for (auto _ : state) {
        compressor.process(silence, silenceR, outL, outR, frames);
        benchmark::DoNotOptimize(outL.data());
    }
    reportPerFrame(state, frames);
}

}  // namespace

BENCHMARK(BM_Noise)->Arg(32)->Arg(512)->Arg(4096);
BENCHMARK(BM_SilenceAfterBurst)->Arg(32)->Arg(512)->Arg(4096);
