// BridgeServer: reads request frames from standard input, answers each with one reply frame.
#include "tools/winhost/BridgeServer.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <vector>

#include "tools/bridgewire/BridgeMessage.h"
#include "tools/bridgewire/BridgeProtocol.h"
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
        case kBridgeProcessMapped:
            return size == 12;
        case kBridgeMapAudio:
            return size >= 12;
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

// The audio file vozuv-render shares: its slots mapped into this process.
class MappedAudio {
public:
    ~MappedAudio() { unmap(); }

    // False with the reason in `error` when the file cannot be mapped whole.
    bool map(const std::string& path, uint32_t slots, uint32_t frames, std::string& error) {
        unmap();
        const BridgeSlotLayout candidate{frames};
        const uint64_t bytes = candidate.fileBytes(slots);
        if (slots == 0 || frames == 0 || bytes > (uint64_t(1) << 30)) {
            error = "the audio file layout is out of range";
            return false;
        }
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = "cannot open the audio file " + path + " (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) < bytes) {
            CloseHandle(file);
            error = "the audio file " + path + " is smaller than its slots";
            return false;
        }
        mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
        CloseHandle(file);  // the mapping keeps the file
        if (mapping) view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(bytes));
        if (!view) {
            error = "cannot map the audio file " + path + " (error " + std::to_string(GetLastError()) + ")";
            unmap();
            return false;
        }
        slotCount = slots;
        layout = candidate;
        return true;
    }

    bool mapped() const { return view != nullptr; }
    bool fits(uint32_t slot, int32_t frames) const {
        return mapped() && slot < slotCount && frames >= 0 && static_cast<uint32_t>(frames) <= layout.frames;
    }
    float* channel(uint32_t slot, BridgeSlotLayout::Channel c) const {
        return static_cast<float*>(view) + layout.offset(slot, c);
    }

private:
    void unmap() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        view = nullptr;
        mapping = nullptr;
        slotCount = 0;
    }

    HANDLE mapping = nullptr;
    void* view = nullptr;
    uint32_t slotCount = 0;
    BridgeSlotLayout layout{0};
};

}  // namespace

// One bridge session: the loaded plug-in, its instance and the request loop.
class BridgeServer {
public:
    explicit BridgeServer(PluginHost& host) : host(host) {}

    // Answers requests until quit (0) or a broken pipe (5; 0 when the renderer simply went away).
    int serve() {
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
            if (header[0] == kBridgeQuit) {
                host.close();
                pipe.send(kBridgeOk, {});
                return 0;
            }
            MessageReader r(payload);
            MessageWriter w;
            std::string refusal;
            const bool done = answer(header[0], r, w, refusal);
            if (!(done ? pipe.send(kBridgeOk, w.bytes()) : pipe.fail(refusal))) return 5;
        }
    }

    Pipe pipe;

private:
    // Carries out one request; false with the reason in `refusal` when it cannot.
    bool answer(uint32_t code, MessageReader& r, MessageWriter& w, std::string& refusal) {
        switch (code) {
            case kBridgeInfo:
                PluginInfo::read(host).write(w);
                return true;
            case kBridgeSampleRate:
                host.setSampleRate(r.f32());
                return true;
            case kBridgeBlockSize:
                host.setBlockSize(r.i32());
                return true;
            case kBridgeMains:
                host.setMains(r.i32() != 0);
                return true;
            case kBridgeProgram:
                host.setProgram(r.i32());
                return true;
            case kBridgeSetParameter: {
                const int32_t index = r.i32();
                host.setParameter(index, r.f32());
                return true;
            }
            case kBridgeGetParameter:
                w.f32(host.getParameter(r.i32()));
                return true;
            case kBridgeProcess:
                return processPiped(r, w, refusal);
            case kBridgeMapAudio:
                return mapAudio(r, refusal);
            case kBridgeProcessMapped:
                return processMapped(r, refusal);
            case kBridgeEditorScreenshot:
                return screenshot(r, w, refusal);
            case kBridgeDispatch:
                dispatch(r, w);
                return true;
            case kBridgeRequestCount:
                w.u32(static_cast<uint32_t>(host.countRequests(r.i32())));
                return true;
            default:
                return true;
        }
    }

    bool processPiped(MessageReader& r, MessageWriter& w, std::string& refusal) {
        AudioRequest audio;
        if (!audio.read(r, in, out)) {
            refusal = "malformed process request";
            return false;
        }
        const size_t n = audio.frameCount();
        const float* inputs[2] = {in.data(), in.data() + n};
        float* outputs[2] = {out.data(), out.data() + n};
        host.processBlocks(inputs, outputs, 2, audio.frames, audio.block);
        w.floats(out.data(), 2 * n);
        return true;
    }

    bool mapAudio(MessageReader& r, std::string& refusal) {
        const std::string path = r.text();
        const uint32_t slots = r.u32();
        const uint32_t frames = r.u32();
        if (r.failed() || r.remaining() != 0) {
            refusal = "malformed audio file request";
            return false;
        }
        return audioFile.map(path, slots, frames, refusal);
    }

    bool processMapped(MessageReader& r, std::string& refusal) {
        const uint32_t slot = r.u32();
        const int32_t frames = r.i32();
        const int32_t block = r.i32();
        if (!audioFile.fits(slot, frames) || block < 1) {
            refusal = audioFile.mapped() ? "malformed process request" : "no audio file is mapped";
            return false;
        }
        using L = BridgeSlotLayout;
        const float* inputs[2] = {audioFile.channel(slot, L::kInLeft), audioFile.channel(slot, L::kInRight)};
        float* outputs[2] = {audioFile.channel(slot, L::kOutLeft), audioFile.channel(slot, L::kOutRight)};
        host.processBlocks(inputs, outputs, 2, frames, block);
        return true;
    }

    bool screenshot(MessageReader& r, MessageWriter& w, std::string& refusal) {
        AudioRequest audio;
        if (!audio.read(r, in, out)) {
            refusal = "malformed editor screenshot request";
            return false;
        }
        const size_t n = audio.frameCount();
        const float* inputs[2] = {in.data(), in.data() + n};
        float* outputs[2] = {out.data(), out.data() + n};
        HostWindowPicture picture;
        if (!playWithEditor(host, inputs, outputs, audio.frames, audio.block, picture, refusal)) return false;
        w.floats(out.data(), 2 * n);
        w.u32(static_cast<uint32_t>(picture.width));
        w.u32(static_cast<uint32_t>(picture.height));
        const std::vector<uint8_t> rgb = picture.rgb();
        w.raw(rgb.data(), rgb.size());
        return true;
    }

    void dispatch(MessageReader& r, MessageWriter& w) {
        const int32_t opcode = r.i32();
        const int32_t index = r.i32();
        const int64_t value = r.i64();
        const float opt = r.f32();
        char text[256] = {};
        const VstIntPtr result = host.dispatch(opcode, index, static_cast<VstIntPtr>(value), text, opt);
        text[255] = 0;
        w.i64(result);
        w.text(text);
    }

    PluginHost& host;
    MappedAudio audioFile;
    std::vector<uint8_t> payload;
    std::vector<float> in, out;
};

int runBridge(const std::string& pluginPath) {
    PluginLibrary library;
    HostConfig config;
    config.offline = true;  // a renderer, not a live host
    PluginHost host(config);
    BridgeServer server(host);
    if (!library.open(pluginPath)) {
        hello(server.pipe, kBridgeLoadFailed, library.error());
        return 3;
    }
    if (!host.instantiate(library.entry())) {
        hello(server.pipe, kBridgeMainNull, host.error());
        return 4;
    }
    if (!hello(server.pipe, kBridgeLoaded, "")) return 5;
    return server.serve();
}
