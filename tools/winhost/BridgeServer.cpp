// BridgeServer: reads request frames from standard input, answers each with one reply frame.
#include "tools/winhost/BridgeServer.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <vector>

#include "tools/hostloader/BridgeMessage.h"
#include "tools/hostloader/BridgeProtocol.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginInfo.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/winhost/EditorScreenshot.h"

namespace {

class Pipe {
public:
    Pipe() : in(GetStdHandle(STD_INPUT_HANDLE)) {
        // Whatever the plug-in prints must not land in the protocol: the protocol keeps its own copy
        // of the output handle, and the process's stdout becomes its stderr.
        HANDLE self = GetCurrentProcess();
        if (!DuplicateHandle(self, GetStdHandle(STD_OUTPUT_HANDLE), self, &out, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            out = GetStdHandle(STD_OUTPUT_HANDLE);
            return;
        }
        std::fflush(stdout);
        _dup2(_fileno(stderr), _fileno(stdout));
        SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    }

    bool read(void* data, size_t size) {
        auto* p = static_cast<uint8_t*>(data);
        while (size > 0) {
            DWORD got = 0;
            const DWORD want = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
            if (!ReadFile(in, p, want, &got, nullptr) || got == 0) return false;
            p += got;
            size -= got;
        }
        return true;
    }

    bool write(const void* data, size_t size) {
        auto* p = static_cast<const uint8_t*>(data);
        while (size > 0) {
            DWORD put = 0;
            const DWORD want = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
            if (!WriteFile(out, p, want, &put, nullptr) || put == 0) return false;
            p += put;
            size -= put;
        }
        return true;
    }

    bool send(uint32_t code, const std::vector<uint8_t>& payload) {
        const uint32_t header[2] = {code, static_cast<uint32_t>(payload.size())};
        return write(header, sizeof header) && (payload.empty() || write(payload.data(), payload.size()));
    }

    bool fail(const std::string& message) {
        MessageWriter w;
        w.text(message);
        return send(kBridgeFailed, w.bytes());
    }

private:
    HANDLE in;
    HANDLE out = nullptr;
};

bool hello(Pipe& pipe, uint32_t status, const std::string& message) {
    MessageWriter w;
    w.u32(kBridgeMagic);
    w.u32(status);
    w.text(message);
    w.u32(static_cast<uint32_t>(sizeof(void*) * 8));
    return pipe.send(kBridgeHello, w.bytes());
}

// Payload sizes of the fixed-size requests; a request that does not fit is refused before it acts.
bool sizeFits(uint32_t code, size_t size) {
    switch (code) {
        case kBridgeQuit:
        case kBridgeInfo:
            return size == 0;
        case kBridgeSampleRate:
        case kBridgeBlockSize:
        case kBridgeMains:
        case kBridgeProgram:
        case kBridgeGetParameter:
        case kBridgeRequestCount:
            return size == 4;
        case kBridgeSetParameter:
            return size == 8;
        case kBridgeDispatch:
            return size == 20;
        case kBridgeProcess:
        case kBridgeEditorScreenshot:
            return size >= 8;
        default:
            return false;
    }
}

// The audio part of a process or screenshot request: frame count, block size, then both channels.
struct AudioRequest {
    int32_t frames = 0;
    int32_t block = 0;

    size_t frameCount() const { return static_cast<size_t>(frames); }

    // Reads the request into `in` (left then right) and clears `out` to the same size; false when malformed.
    bool read(MessageReader& r, std::vector<float>& in, std::vector<float>& out) {
        frames = r.i32();
        block = r.i32();
        if (frames < 0 || block < 1 || frameCount() * 2 * sizeof(float) != r.remaining()) return false;
        in.resize(2 * frameCount());
        out.assign(2 * frameCount(), 0.0f);
        return r.floats(in.data(), in.size());
    }
};

}  // namespace

int runBridge(const std::string& pluginPath) {
    Pipe pipe;
    PluginLibrary library;
    if (!library.open(pluginPath)) {
        hello(pipe, kBridgeLoadFailed, library.error());
        return 3;
    }
    HostConfig config;
    config.offline = true;  // a renderer, not a live host
    PluginHost host(config);
    if (!host.instantiate(library.entry())) {
        hello(pipe, kBridgeMainNull, host.error());
        return 4;
    }
    if (!hello(pipe, kBridgeLoaded, "")) return 5;

    std::vector<uint8_t> payload;
    std::vector<float> in, out;
    for (;;) {
        uint32_t header[2];
        if (!pipe.read(header, sizeof header)) return 0;  // the renderer went away: nothing to tell
        if (header[1] > kBridgeMaxPayload) {
            pipe.fail("request too large");
            return 5;
        }
        payload.resize(header[1]);
        if (header[1] > 0 && !pipe.read(payload.data(), payload.size())) return 5;
        if (!sizeFits(header[0], payload.size())) {
            if (!pipe.fail("unknown or malformed request " + std::to_string(header[0]))) return 5;
            continue;
        }
        MessageReader r(payload);
        MessageWriter w;
        switch (header[0]) {
            case kBridgeQuit:
                host.close();
                pipe.send(kBridgeOk, {});
                return 0;
            case kBridgeInfo:
                PluginInfo::read(host).write(w);
                break;
            case kBridgeSampleRate:
                host.setSampleRate(r.f32());
                break;
            case kBridgeBlockSize:
                host.setBlockSize(r.i32());
                break;
            case kBridgeMains:
                host.setMains(r.i32() != 0);
                break;
            case kBridgeProgram:
                host.setProgram(r.i32());
                break;
            case kBridgeSetParameter: {
                const int32_t index = r.i32();
                host.setParameter(index, r.f32());
                break;
            }
            case kBridgeGetParameter:
                w.f32(host.getParameter(r.i32()));
                break;
            case kBridgeProcess: {
                AudioRequest audio;
                if (!audio.read(r, in, out)) {
                    if (!pipe.fail("malformed process request")) return 5;
                    continue;
                }
                const size_t n = audio.frameCount();
                const float* inputs[2] = {in.data(), in.data() + n};
                float* outputs[2] = {out.data(), out.data() + n};
                host.processBlocks(inputs, outputs, 2, audio.frames, audio.block);
                w.floats(out.data(), 2 * n);
                break;
            }
            case kBridgeEditorScreenshot: {
                AudioRequest audio;
                if (!audio.read(r, in, out)) {
                    if (!pipe.fail("malformed editor screenshot request")) return 5;
                    continue;
                }
                const int32_t frames = audio.frames;
                const int32_t block = audio.block;
                const size_t n = audio.frameCount();
                const float* inputs[2] = {in.data(), in.data() + n};
                float* outputs[2] = {out.data(), out.data() + n};
                WindowPicture picture;
                std::string error;
                if (!playWithEditor(host, inputs, outputs, frames, block, picture, error)) {
                    if (!pipe.fail(error)) return 5;
                    continue;
                }
                w.floats(out.data(), 2 * n);
                w.u32(static_cast<uint32_t>(picture.width));
                w.u32(static_cast<uint32_t>(picture.height));
                w.raw(picture.rgb.data(), picture.rgb.size());
                break;
            }
            case kBridgeDispatch: {
                const int32_t opcode = r.i32();
                const int32_t index = r.i32();
                const int64_t value = r.i64();
                const float opt = r.f32();
                char text[256] = {};
                const VstIntPtr answer = host.dispatch(opcode, index, static_cast<VstIntPtr>(value), text, opt);
                text[255] = 0;
                w.i64(answer);
                w.text(text);
                break;
            }
            case kBridgeRequestCount:
                w.u32(static_cast<uint32_t>(host.countRequests(r.i32())));
                break;
            default:
                break;
        }
        if (!pipe.send(kBridgeOk, w.bytes())) return 5;
    }
}
