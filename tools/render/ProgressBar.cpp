// ProgressBar: redrawn at most ten times a second with "\r".
#include "tools/render/ProgressBar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {
constexpr double kQuietSeconds = 1.0;
constexpr int kBarWidth = 40;
}  // namespace

ProgressBar::ProgressBar(long long totalFrames, int sampleRate)
    : total(totalFrames), rate(sampleRate), enabled(isatty(2) != 0 && totalFrames > 0), start(Clock::now()),
      lastDraw(start) {}

void ProgressBar::update(long long done) {
    if (!enabled) return;
    const Clock::time_point now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - start).count();
    if (elapsed < kQuietSeconds || (drawn && std::chrono::duration<double>(now - lastDraw).count() < 0.1)) return;
    lastDraw = now;
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const int filled = static_cast<int>(fraction * kBarWidth);
    const double speed = elapsed > 0 ? static_cast<double>(done) / rate / elapsed : 0.0;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%  %.1fx real time ", bar.c_str(), static_cast<int>(fraction * 100.0), speed);
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::finish() {
    if (!drawn) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + 32, "");
    std::fflush(stderr);
    drawn = false;
}
