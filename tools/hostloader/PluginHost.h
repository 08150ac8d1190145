// PluginHost: one plug-in instance held as a host holds it: its callback answers and records every
// request, and helpers call the dispatcher, move parameters and programs, process audio and fetch texts.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "tools/hostloader/HostConfig.h"
#include "tools/hostloader/HostRequest.h"
#include "tools/hostloader/PluginLibrary.h"

class PluginHost {
public:
    explicit PluginHost(HostConfig config = HostConfig{});
    ~PluginHost();  // closes the instance if it is still open
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Calls the entry with this host's callback. False when it answers null (error() says so).
    bool instantiate(PluginMainProc entry);
    AEffect* effect() const { return effectRecord; }
    const std::string& error() const { return lastError; }
    HostConfig& config() { return hostConfig; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // Dispatches with a zeroed 256-character buffer and answers the text written into it.
    std::string dispatchText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, VstIntPtr* answer = nullptr);

    // The host's part of a start: sample rate and block size told to the plug-in and kept for its queries.
    void setSampleRate(float rate);
    void setBlockSize(VstInt32 frames);
    void setMains(bool on);
    void setProgram(VstInt32 program);
    VstInt32 program();
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    std::string parameterName(VstInt32 index);
    std::string parameterLabel(VstInt32 index);
    std::string parameterDisplay(VstInt32 index);
    std::string programName();
    // False (and an empty text) when the plug-in refuses the index.
    bool programNameIndexed(VstInt32 index, std::string& name);
    // Index of the parameter whose name is exactly name, -1 when none.
    VstInt32 findParameter(const std::string& name);

    // Runs processReplacing over frames frames in blocks of at most blockFrames, as a host's audio
    // thread does. inputs and outputs hold `channels` planar buffers; the plug-in's further inputs get
    // silence and its further outputs go to scratch.
    void processBlocks(const float* const* inputs, float* const* outputs, int channels, int frames, int blockFrames);

    // effClose; the record is invalid afterwards.
    void close();

    std::vector<HostRequest> requests() const;
    size_t countRequests(VstInt32 opcode) const;
    void clearRequests();
    uint64_t constructingThread() const { return ownerThread; }

    static uint64_t currentThreadId();
    // The callback handed to main; finds the host of the calling effect.
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);

private:
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt,
                     std::string& text);
    void record(const HostRequest& request);

    HostConfig hostConfig;
    AEffect* effectRecord = nullptr;
    std::string lastError;
    uint64_t ownerThread = 0;
    std::atomic<uint64_t> processingThread{0};
    mutable std::atomic_flag logLock = ATOMIC_FLAG_INIT;
    std::vector<HostRequest> log;
    size_t droppedRequests = 0;
    std::vector<float> silence;
    std::vector<float> scratch;
};
