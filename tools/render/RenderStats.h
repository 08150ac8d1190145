// RenderStats: levels and gain reduction measured while rendering, for the summary and the plot.
//
// The plug-in reports its gain only to its own editor, so the host measures it: per frame, the output
// divided by the input on the louder input channel, with the static gain of the input gain and make-up
// parameters taken out, is the compressor's gain factor. Frames whose input is below -80 dBFS carry no
// usable ratio and are left out of the gain reduction.
#pragma once

#include <vector>

struct LevelBin {
    float inputPeak = 0.0f;
    float outputPeak = 0.0f;
    float smallestGain = 1.0f;  // 1.0 when no frame of the bin was reduced or measured
};

class RenderStats {
public:
    // staticGain: the linear gain the plug-in applies without compression (input gain times make-up).
    // totalFrames sizes the bins of the plot (about 2000 of them).
    RenderStats(double staticGain, long long totalFrames);

    // Two planar channels in and out.
    void add(const float* const* inputs, const float* const* outputs, int channels, int frames);

    double inputPeakDb() const { return decibels(inputPeak); }
    double outputPeakDb() const { return decibels(outputPeak); }
    double inputRmsDb() const;
    double outputRmsDb() const;
    double largestReductionDb() const;  // positive dB
    double averageReductionDb() const;  // positive dB, over the measured frames
    long long frames() const { return frameCount; }
    long long binFrames() const { return framesPerBin; }
    const std::vector<LevelBin>& bins() const { return levelBins; }

    static double decibels(double linear);

private:
    // Frames [first, first + count) of the two or one planar channels, all in bin b.
    template <int kChannels>
    void addRun(const float* const* inputs, const float* const* outputs, int first, int count, LevelBin& b);
    // The same for two channels in SIMD lanes; count is a multiple of 4.
    void addStereoRun(const float* const* inputs, const float* const* outputs, int first, int count, LevelBin& b);

    double staticGain;
    long long framesPerBin;
    long long frameCount = 0;
    long long samplesIn = 0;
    double inputPeak = 0.0, outputPeak = 0.0;
    double inputSquares = 0.0, outputSquares = 0.0;
    double smallestGain = 1.0;
    // Product of the reduced frames' gains as reductionProduct * 2^reductionExponent.
    double reductionProduct = 1.0;
    long long reductionExponent = 0;
    long long measuredFrames = 0;
    std::vector<LevelBin> levelBins;
};
