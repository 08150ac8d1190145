// EditorScreenshot: an audio thread paced in real time beside the editor window's message loop.
#include "tools/winhost/EditorScreenshot.h"

#include <windows.h>

#include "tools/hostloader/PluginHost.h"

namespace {

// A meter falls by at most a tenth of its range per redraw and the editor redraws at every idle call:
// ten idles bring any meter down to its value, the rest are margin for the first paint.
constexpr unsigned kSettleIdles = 15;

struct AudioJob {
    PluginHost* host;
    const float* const* inputs;
    float* const* outputs;
    int frames;
    int block;
    double sampleRate;
};

double seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The host's audio thread: one block at a time, never ahead of the clock.
DWORD WINAPI playAudio(void* argument) {
    const AudioJob& job = *static_cast<const AudioJob*>(argument);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int done = 0; done < job.frames; done += job.block) {
        const int n = job.frames - done < job.block ? job.frames - done : job.block;
        const float* in[2] = {job.inputs[0] + done, job.inputs[1] + done};
        float* out[2] = {job.outputs[0] + done, job.outputs[1] + done};
        job.host->processBlocks(in, out, 2, n, job.block);
        QueryPerformanceCounter(&now);
        const double ahead = (done + n) / job.sampleRate - seconds(start, now, frequency);
        if (ahead > 0.002) Sleep(static_cast<DWORD>(ahead * 1000.0));
    }
    return 0;
}

}  // namespace

bool playWithEditor(PluginHost& host, const float* const* inputs, float* const* outputs, int frames,
                    int block, HostWindowPicture& picture, std::string& error) {
    EditorWindow editor(host);
    if (!editor.open(error)) return false;
    const double rate = host.config().sampleRate > 0 ? host.config().sampleRate : 44100.0;
    AudioJob job{&host, inputs, outputs, frames, block, rate};
    HANDLE audio = CreateThread(nullptr, 0, playAudio, &job, 0, nullptr);
    if (!audio) {
        playAudio(&job);
    } else {
        while (WaitForSingleObject(audio, 0) == WAIT_TIMEOUT && editor.pump(1000, audio)) {
        }
        WaitForSingleObject(audio, INFINITE);
        CloseHandle(audio);
    }
    bool ok = editor.pumpIdles(kSettleIdles);
    if (ok && !editor.capture(picture)) {
        error = "cannot capture the editor window";
        ok = false;
    } else if (!ok) {
        error = "the editor window was closed before its picture was taken";
    }
    editor.close();
    return ok;
}
