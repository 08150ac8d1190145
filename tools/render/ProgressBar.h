// ProgressBar: a one-line progress bar on stderr, shown only when stderr is a terminal and the render
// has already taken about a second.
#pragma once

#include <chrono>

class ProgressBar {
public:
    explicit ProgressBar(long long totalFrames, int sampleRate);
    ~ProgressBar() { finish(); }

    void update(long long doneFrames);
    // Clears the line if one was drawn.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    long long total;
    int rate;
    bool enabled;
    bool drawn = false;
    Clock::time_point start;
    Clock::time_point lastDraw;
};
