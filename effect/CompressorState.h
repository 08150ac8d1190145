// CompressorState: level and gain tables, peak-hold envelope, detector level and filter state of the
// signal chain, with the block loop that runs over them.
#pragma once

#include <cstdint>

#include "effect/ChainSettings.h"
#include "effect/GainCurve.h"

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

// A ramp of the applied gain from what the last frame applied to what the settings give: the input gain
// moves linearly, the output gain by a correction factor that moves linearly to 1.
struct GainRamp {
    int32_t length;         // frames to the new settings; the last of them is already a plain frame
    int32_t done;           // frames of it run so far
    double inputFrom;       // input gain of the frame before the ramp
    double correctionFrom;  // output gain of that frame over what the new settings give at its level
};

struct CompressorState {
    static constexpr int kTableSize = GainCurve::kTableSize;
    static constexpr uint32_t kFirstLevelBits = GainCurve::kFirstLevelBits;
    static constexpr int kStepShift = GainCurve::kStepShift;

    // Zero state and the level table; the gain table is all unity until the first build.
    CompressorState();

    CompressorState(const CompressorState&) = delete;
    CompressorState& operator=(const CompressorState&) = delete;

    // Envelopes, hold counter and filter sections back to zero.
    void resetDetector();

    // The rest run on the thread that runs the blocks (the audio thread), or before any block: that thread
    // alone writes the peak hold, the gain table and the ramp.

    // Peak-hold time of 20 ms at the given rate; at the start of the first block that runs at it.
    void setPeakHold(float sampleRate);
    // Ends a running hold no later than one begun at this rate would: for each rate a host set since the
    // last block, even one it replaced before a block ran at it.
    void limitHold(float sampleRate);

    // Writes the gain table for these inputs.
    void buildGainTable(double thresholdLinear, double thresholdDb, double inverseRatio);

    // Makes the next block rebuild the gain table even when its inputs are unchanged.
    void invalidateGainTable();

    // The next block applies its settings at once: there is no earlier output to ramp from (after a resume).
    void restart();

    // One block of n frames (n > 0, pointers valid; out1 may be null). A block whose gain settings differ
    // from the last block's ramps to them from what that block applied.
    BlockMeters processBlock(const ChainSettings& settings, const float* in0, const float* in1, float* out0,
                             float* out1, int32_t frames);

    GainCurve curve;
    const float (&levelTable)[kTableSize] = curve.levels;
    float gainTable[kTableSize];
    // The same entries widened: the frame loop reads two neighbours in one load and converts nothing.
    alignas(16) double gainTableWide[kTableSize];
    float peakEnvelope;
    float detectorLevel;
    double peakReleaseCoefficient;
    int32_t holdSamples;
    int32_t holdCounter;
    FilterSection highPass[2];  // left, right
    FilterSection lowPass[2];

    GainRamp ramp;
    // What the last ramp frame applied, or, once a change comes after plain frames, what the last of them
    // did: input gain, and output gain (table gain times make-up, times the ramp's correction).
    double lastInputGain;
    double lastOutputGain;

private:
    // A value of the last block's gain settings (the order of appliedFrom).
    double appliedValue(int which) const;
    // The gain the table gives a detector level, through the one lookup the frame loop also inlines.
    double tableGain(float level, double thresholdLinear) const;
    // Starts a ramp to the settings from what the last frame applied.
    void startRamp(const ChainSettings& settings);
    // A block's settings differ from the last block's, or the table is to be built again: the table, and
    // a ramp from what the last frame applied.
    __attribute__((noinline)) void takeChangedSettings(const ChainSettings& settings, bool gainsChanged);
    // A block with ramp frames in it.
    __attribute__((noinline)) BlockMeters processRamped(const ChainSettings& settings, const float* in0,
                                                        const float* in1, float* out0, float* out1, int32_t frames);

    // What the table was built from, as bit patterns of thresholdLinear, inverseRatio, thresholdDb.
    uint64_t builtFrom[3];
    bool built;
    int unityBelow;  // the gain table holds 1 below this entry
    // The gain settings of the last block, as bit patterns of inputGainLinear, makeupLinear and the three
    // table inputs, and whether a block has run since the start or the last restart.
    uint64_t appliedFrom[5];
    bool running;
    bool endedOnRamp;  // the last block's last frame was a ramp frame
};
