// vozuv-x11host: a small Linux host: loads a native plug-in, opens its editor in a top-level X11 window,
// idles it every 30 ms from the main thread and plays a test tone through it on an audio thread.
//   vozuv-x11host PLUGIN.so [--seconds N] [--screenshot FILE.png]
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/pngencoder/PngEncoder.h"
#include "tools/x11host/X11EditorHost.h"

namespace {

// A 220 Hz tone whose level swings slowly between -40 and 0 dBFS, in real time, block by block.
void playTone(PluginHost& host, const std::atomic<bool>& stop) {
    const int block = 256;
    const double rate = 44100.0;
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    const float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    const uint64_t start = X11EditorHost::nowMs();
    for (uint64_t frame = 0; !stop.load(); frame += block) {
        for (int i = 0; i < block; ++i) {
            const double t = double(frame + uint64_t(i)) / rate;
            const double level = std::pow(10.0, (-20.0 + 20.0 * std::sin(t * 1.3)) / 20.0);
            left[size_t(i)] = right[size_t(i)] = float(level * std::sin(2.0 * M_PI * 220.0 * t));
        }
        host.processBlocks(in, out, 2, block, block);
        const uint64_t due = start + uint64_t(double(frame + block) * 1000.0 / rate);
        const uint64_t now = X11EditorHost::nowMs();
        if (due > now) X11EditorHost::sleepMs(int(due - now));
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string path, screenshot;
    double seconds = 0;  // 0: until the window is closed
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
        else if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else if (path.empty() && a[0] != '-') path = a;
        else {
            std::fprintf(stderr, "usage: vozuv-x11host PLUGIN.so [--seconds N] [--screenshot FILE.png]\n");
            return 2;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: vozuv-x11host PLUGIN.so [--seconds N] [--screenshot FILE.png]\n");
        return 2;
    }
    PluginLibrary library;
    if (!library.open(path)) {
        std::fprintf(stderr, "vozuv-x11host: %s\n", library.error().c_str());
        return 1;
    }
    PluginHost host;
    if (!host.instantiate(library.entry())) {
        std::fprintf(stderr, "vozuv-x11host: %s\n", host.error().c_str());
        return 1;
    }
    host.dispatch(effOpen);
    host.setSampleRate(44100.0f);
    host.setBlockSize(256);
    host.setMains(true);
    X11EditorHost window;
    if (!window.isConnected() || !window.open(host)) {
        std::fprintf(stderr, "vozuv-x11host: %s\n", window.isConnected() ? window.error().c_str() : "no X display");
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread audio(playTone, std::ref(host), std::cref(stop));
    const uint64_t end = X11EditorHost::nowMs() + uint64_t(seconds * 1000.0);
    while (!window.closeRequested() && (seconds <= 0 || X11EditorHost::nowMs() < end)) {
        window.idle();
        X11EditorHost::sleepMs(30);
    }
    int status = 0;
    if (!screenshot.empty()) {
        X11Picture picture;
        if (!window.capture(picture, window.parent()) ||
            !PngEncoder::writeFile(screenshot, picture.rgb.data(), picture.width, picture.height, 3)) {
            std::fprintf(stderr, "vozuv-x11host: cannot write %s\n", screenshot.c_str());
            status = 1;
        }
    }
    stop = true;
    audio.join();
    window.close();
    host.setMains(false);
    host.close();
    return status;
}
