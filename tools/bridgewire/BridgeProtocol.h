// BridgeProtocol: the requests vozuv-render sends to vozuv-winhost over the program's standard input
// and the replies it reads from its standard output.
//
// Every message is a frame: u32 code, u32 payload size, payload (BridgeMessage layout). The winhost
// opens with a hello frame (code kBridgeHello, payload: u32 kBridgeMagic, u32 status, text message,
// u32 pointer size). After that each request frame gets exactly one reply frame whose code is
// kBridgeOk or kBridgeFailed (payload: text message).
#pragma once

#include <cstdint>

constexpr uint32_t kBridgeMagic = 0x31425a56;  // "VZB1"
constexpr uint32_t kBridgeMaxPayload = 64u << 20;

enum BridgeCode : uint32_t {
    kBridgeHello = 0x4f4c4548,  // "HELO"
    kBridgeOk = 0x5f4b4f5f,     // "_OK_"
    kBridgeFailed = 0x4c494146, // "FAIL"

    kBridgeQuit = 1,           // -> closes the instance; the winhost exits with status 0
    kBridgeInfo = 2,           // -> PluginInfo
    kBridgeSampleRate = 3,     // f32 rate
    kBridgeBlockSize = 4,      // i32 frames
    kBridgeMains = 5,          // i32 0 or 1
    kBridgeProgram = 6,        // i32 program (0-based)
    kBridgeSetParameter = 7,   // i32 index, f32 value
    kBridgeGetParameter = 8,   // i32 index -> f32 value
    kBridgeProcess = 9,        // i32 frames, i32 block, frames*2 floats (left, right) -> frames*2 floats
    kBridgeDispatch = 10,      // i32 opcode, i32 index, i64 value, f32 opt -> i64 answer, text written at ptr
                               // (ptr is a zeroed 256-character buffer: for text opcodes only)
    kBridgeRequestCount = 11,  // i32 host opcode -> u32 times the plug-in sent it
    // i32 frames, i32 block, frames*2 floats (left, right): opens the editor in a window of its own,
    // plays these frames through the plug-in in real time on an audio thread while the editor idles,
    // lets the meters settle, captures the window's client area and closes the editor
    // -> frames*2 floats (the processed audio), u32 width, u32 height, width*height*3 bytes (RGB rows)
    kBridgeEditorScreenshot = 12,
    // Audio through a file both sides map instead of through the pipes. text path (the host's own
    // spelling), u32 slots, u32 frames per slot: the file holds `slots` slots of BridgeSlotLayout.
    // Refused when the file cannot be mapped; the renderer then sends kBridgeProcess requests.
    kBridgeMapAudio = 13,
    // u32 slot, i32 frames, i32 block: processes the slot's inputs into its outputs in place -> nothing.
    // Several may be sent before the first reply: the replies come in order.
    kBridgeProcessMapped = 14,
};

// One slot of the mapped audio file: four planar channels of `frames` floats each.
struct BridgeSlotLayout {
    uint32_t frames;

    enum Channel : uint32_t { kInLeft = 0, kInRight = 1, kOutLeft = 2, kOutRight = 3 };
    uint64_t slotFloats() const { return 4ull * frames; }
    uint64_t offset(uint32_t slot, Channel channel) const { return slot * slotFloats() + channel * uint64_t(frames); }
    uint64_t fileBytes(uint32_t slots) const { return slots * slotFloats() * sizeof(float); }
};

// Hello status.
enum BridgeHelloStatus : uint32_t {
    kBridgeLoaded = 0,
    kBridgeLoadFailed = 1,  // the library did not load or has no "main"
    kBridgeMainNull = 2,    // main answered null
};
