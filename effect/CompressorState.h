// CompressorState: level and gain tables, peak-hold envelope, detector level and filter state of the
// signal chain, with the block loop that runs over them.
#pragma once

#include <atomic>
#include <cstdint>

#include "effect/ChainSettings.h"
#include "base/RelaxedAtomic.h"

// One second-order detector section of one channel.
struct FilterSection {
    double w;    // the section's newest internal value
    double w1;   // previous value
    double w2;   // the one before
    double out;  // stage output of the last frame
};

// What a block hands to the meters: its loudest and most reduced frames.
struct BlockMeters {
    float peak;           // largest detector peak
    float peakAfterGain;  // largest detector peak times the output gain
    float gain;           // smallest gain factor, 1.0 without reduction
};

struct CompressorState {
    // 19 octaves of 64 steps from 2^-16 to just below 8.
    static constexpr int kTableSize = 1216;
    static constexpr uint32_t kFirstLevelBits = 0x37800000u;  // bit pattern of 2^-16
    static constexpr int kStepShift = 17;                     // 2^17 bit patterns per table step

    // Zero state and the level table; the gain table is all unity until the first build.
    CompressorState();

    CompressorState(const CompressorState&) = delete;
    CompressorState& operator=(const CompressorState&) = delete;

    // Peak-hold time of 20 ms at the given rate; set between blocks, as a host sets its rate.
    void setPeakHold(float sampleRate);

    // Envelopes, hold counter and filter sections back to zero.
    void resetDetector();

    // Rebuild from any thread but the audio thread (parameter sets): the next block notices the write.
    void buildGainTable(double thresholdLinear, double thresholdDb, double inverseRatio);

    // Makes the next block rebuild the gain table even when its inputs are unchanged.
    void invalidateGainTable();

    // Audio thread: one block of n frames (n > 0, pointers valid; out1 may be null).
    BlockMeters processBlock(const ChainSettings& settings, const float* in0, const float* in1, float* out0,
                             float* out1, int32_t frames);

    float levelTable[kTableSize];
    // Written by parameter sets and by the audio thread, read per sample: relaxed atomics.
    RelaxedAtomic<float> gainTable[kTableSize];
    // The same entries widened, written after each float entry: the frame loop reads two neighbours in
    // one load and converts nothing.
    RelaxedAtomic<double> gainTableWide[kTableSize];
    float peakEnvelope;
    float detectorLevel;
    double peakReleaseCoefficient;
    int32_t holdSamples;
    int32_t holdCounter;
    FilterSection highPass[2];  // left, right
    FilterSection lowPass[2];

private:
    void writeGainTable(double thresholdLinear, double thresholdDb, double inverseRatio);
    // Audio thread: whether the table is known to hold exactly what a rebuild from these settings would
    // give; if not, processBlock rebuilds it first.
    bool gainTableCurrent(const ChainSettings& settings, uint32_t writes) const;
    __attribute__((noinline)) BlockMeters rebuildThenProcess(const ChainSettings& settings, uint32_t writes,
                                                             const float* in0, const float* in1, float* out0,
                                                             float* out1, int32_t frames);

    // Bumped after every build outside the block loop (acquire/release publish the written entries).
    std::atomic<uint32_t> tableWrites;
    // Audio thread only: what its own last build was made from and which outside writes it had seen.
    uint32_t tableWritesSeen;
    uint64_t builtFrom[3];  // bit patterns of thresholdLinear, inverseRatio, thresholdDb
    bool builtByBlock;
};
