// LevelPlot: a PNG picture, drawn with Cairo, of the input and output peak levels over time (dBFS)
// and of the measured gain reduction (dB), with labelled time and decibel axes.
#pragma once

#include <string>

#include "tools/render/RenderStats.h"

class LevelPlot {
public:
    static constexpr int kWidth = 1200;
    static constexpr int kHeight = 640;

    // Throws RenderError when the picture cannot be written; writes it whole or not at all.
    static void write(const std::string& path, const RenderStats& stats, int sampleRate, const std::string& title);
};
