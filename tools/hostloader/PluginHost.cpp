// PluginHost: the host callback, its request log and the host-side helpers around one instance.
#include "tools/hostloader/PluginHost.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

constexpr size_t kTextBufferSize = 256;
constexpr size_t kMaxLoggedRequests = 200000;  // an editor idling for hours must not eat the memory

class SpinLock {
public:
    explicit SpinLock(std::atomic_flag& flag) : flag(flag) {
        while (flag.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~SpinLock() { flag.clear(std::memory_order_release); }

private:
    std::atomic_flag& flag;
};

// Which host owns which record. The callback gets only the record, and during main not even that.
struct HostSlot {
    AEffect* effect;
    PluginHost* host;
};
std::atomic_flag registryLock = ATOMIC_FLAG_INIT;
HostSlot registry[256];
// The host whose main call is running; main may call back before the record is known.
std::atomic_flag instantiationLock = ATOMIC_FLAG_INIT;
PluginHost* instantiatingHost = nullptr;

void registerHost(AEffect* effect, PluginHost* host) {
    SpinLock lock(registryLock);
    for (HostSlot& slot : registry) {
        if (!slot.effect) {
            slot = {effect, host};
            return;
        }
    }
}

void unregisterHost(PluginHost* host) {
    SpinLock lock(registryLock);
    for (HostSlot& slot : registry) {
        if (slot.host == host) slot = {nullptr, nullptr};
    }
}

PluginHost* findHost(AEffect* effect) {
    SpinLock lock(registryLock);
    if (effect) {
        for (const HostSlot& slot : registry) {
            if (slot.effect == effect) return slot.host;
        }
    }
    return instantiatingHost;
}

void copyText(void* ptr, const std::string& text) {
    if (!ptr) return;
    // Hosts hand 64-character buffers for these strings.
    std::string cut = text.substr(0, 63);
    std::memcpy(ptr, cut.c_str(), cut.size() + 1);
}

}  // namespace

PluginHost::PluginHost(HostConfig config) : hostConfig(std::move(config)), ownerThread(currentThreadId()) {}

PluginHost::~PluginHost() {
    close();
    unregisterHost(this);
}

uint64_t PluginHost::currentThreadId() {
#ifdef _WIN32
    return GetCurrentThreadId();
#else
    return static_cast<uint64_t>(syscall(SYS_gettid));
#endif
}

bool PluginHost::instantiate(PluginMainProc entry) {
    close();
    lastError.clear();
    if (!entry) {
        lastError = "no entry to call";
        return false;
    }
    AEffect* created = nullptr;
    {
        while (instantiationLock.test_and_set(std::memory_order_acquire)) {
        }
        {
            SpinLock lock(registryLock);
            instantiatingHost = this;
        }
        created = entry(&PluginHost::hostCallback);
        {
            SpinLock lock(registryLock);
            instantiatingHost = nullptr;
        }
        instantiationLock.clear(std::memory_order_release);
    }
    if (!created) {
        lastError = "the plug-in's main returned null";
        return false;
    }
    if (created->magic != kEffectMagic) {
        lastError = "the plug-in's main returned a record without the VstP magic";
        return false;
    }
    effectRecord = created;
    registerHost(created, this);
    return true;
}

VstIntPtr VSTCALLBACK PluginHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt) {
    PluginHost* host = findHost(effect);
    // A host that does not know the caller still answers the version: the plug-in may be probing.
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    HostRequest request = HostRequest::of(effect, opcode, index, value, ptr, opt);
    request.thread = currentThreadId();
    request.answer = host->answer(effect, opcode, index, value, ptr, opt, request.text);
    host->record(request);
    if (host->hostConfig.afterRequest) host->hostConfig.afterRequest(opcode);
    return request.answer;
}

VstIntPtr PluginHost::answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float,
                             std::string& text) {
    const HostConfig& c = hostConfig;
    switch (opcode) {
        case audioMasterAutomate:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
        case audioMasterIOChanged:
        case audioMasterNeedIdle:
            return 1;
        case audioMasterVersion:
            return c.version;
        case audioMasterIdle:
            if (c.idle) c.idle();
            return 0;
        case audioMasterPinConnected:
            // 0 means connected; the host feeds two inputs and takes two outputs.
            return index < 2 ? 0 : 1;
        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr>(c.sampleRate);
        case audioMasterGetBlockSize:
            return c.blockSize;
        case audioMasterGetCurrentProcessLevel:
            if (c.processLevel >= 0) return c.processLevel;
            if (processingThread.load() == currentThreadId()) return c.offline ? kHostLevelOffline : kHostLevelRealtime;
            return kHostLevelUser;
        case audioMasterGetAutomationState:
            return c.automationState;
        case audioMasterWillReplaceOrAccumulate:
            return 1;  // replace
        case audioMasterGetVendorString:
            copyText(ptr, c.vendor);
            return ptr ? 1 : 0;
        case audioMasterGetProductString:
            copyText(ptr, c.product);
            return ptr ? 1 : 0;
        case audioMasterGetVendorVersion:
            return c.vendorVersion;
        case audioMasterGetLanguage:
            return c.language;
        case audioMasterCanDo: {
            if (!ptr) return 0;
            const char* query = static_cast<const char*>(ptr);
            text.assign(query, strnlen(query, kTextBufferSize));
            if (text == "sizeWindow") return c.canSizeWindow ? 1 : 0;
            return std::find(c.capabilities.begin(), c.capabilities.end(), text) != c.capabilities.end() ? 1 : 0;
        }
        case audioMasterSizeWindow:
            if (!c.canSizeWindow) return 0;
            return c.sizeWindow ? (c.sizeWindow(index, static_cast<int>(value)) ? 1 : 0) : 1;
        default:
            return 0;
    }
}

void PluginHost::record(const HostRequest& request) {
    SpinLock lock(logLock);
    if (log.size() >= kMaxLoggedRequests) {
        ++droppedRequests;
        return;
    }
    log.push_back(request);
}

std::vector<HostRequest> PluginHost::requests() const {
    SpinLock lock(logLock);
    return log;
}

size_t PluginHost::countRequests(VstInt32 opcode) const {
    SpinLock lock(logLock);
    return static_cast<size_t>(std::count_if(log.begin(), log.end(),
                                             [opcode](const HostRequest& r) { return r.opcode == opcode; }));
}

void PluginHost::clearRequests() {
    SpinLock lock(logLock);
    log.clear();
    droppedRequests = 0;
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!effectRecord) return 0;
    return effectRecord->dispatcher(effectRecord, opcode, index, value, ptr, opt);
}

std::string PluginHost::dispatchText(VstInt32 opcode, VstInt32 index, VstIntPtr value, VstIntPtr* answerOut) {
    char buffer[kTextBufferSize] = {};
    VstIntPtr answer = dispatch(opcode, index, value, buffer, 0.0f);
    if (answerOut) *answerOut = answer;
    buffer[kTextBufferSize - 1] = 0;
    return buffer;
}

void PluginHost::setSampleRate(float rate) {
    hostConfig.sampleRate = rate;
    dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void PluginHost::setBlockSize(VstInt32 frames) {
    hostConfig.blockSize = frames;
    dispatch(effSetBlockSize, 0, frames);
}

void PluginHost::setMains(bool on) { dispatch(effMainsChanged, 0, on ? 1 : 0); }
void PluginHost::setProgram(VstInt32 program) { dispatch(effSetProgram, 0, program); }
VstInt32 PluginHost::program() { return static_cast<VstInt32>(dispatch(effGetProgram)); }

void PluginHost::setParameter(VstInt32 index, float value) {
    if (effectRecord) effectRecord->setParameter(effectRecord, index, value);
}

float PluginHost::getParameter(VstInt32 index) {
    return effectRecord ? effectRecord->getParameter(effectRecord, index) : 0.0f;
}

std::string PluginHost::parameterName(VstInt32 index) { return dispatchText(effGetParamName, index); }
std::string PluginHost::parameterLabel(VstInt32 index) { return dispatchText(effGetParamLabel, index); }
std::string PluginHost::parameterDisplay(VstInt32 index) { return dispatchText(effGetParamDisplay, index); }
std::string PluginHost::programName() { return dispatchText(effGetProgramName); }

bool PluginHost::programNameIndexed(VstInt32 index, std::string& name) {
    VstIntPtr answer = 0;
    name = dispatchText(effGetProgramNameIndexed, index, 0, &answer);
    if (answer == 0) name.clear();
    return answer != 0;
}

VstInt32 PluginHost::findParameter(const std::string& name) {
    if (!effectRecord) return -1;
    for (VstInt32 i = 0; i < effectRecord->numParams; ++i) {
        if (parameterName(i) == name) return i;
    }
    return -1;
}

void PluginHost::processBlocks(const float* const* inputs, float* const* outputs, int channels, int frames,
                               int blockFrames) {
    if (!effectRecord || frames <= 0 || blockFrames <= 0) return;
    const int numIn = std::max(effectRecord->numInputs, 0);
    const int numOut = std::max(effectRecord->numOutputs, 0);
    const size_t step = static_cast<size_t>(std::min(blockFrames, frames));
    if (silence.size() < step) silence.assign(step, 0.0f);
    if (numOut > channels && scratch.size() < step * static_cast<size_t>(numOut - channels)) {
        scratch.assign(step * static_cast<size_t>(numOut - channels), 0.0f);
    }
    std::vector<float*> in(static_cast<size_t>(std::max(numIn, 1)));
    std::vector<float*> out(static_cast<size_t>(std::max(numOut, 1)));
    processingThread.store(currentThreadId());
    for (int done = 0; done < frames; done += static_cast<int>(step)) {
        const int n = std::min(static_cast<int>(step), frames - done);
        for (int c = 0; c < numIn; ++c) {
            in[c] = c < channels ? const_cast<float*>(inputs[c]) + done : silence.data();
        }
        for (int c = 0; c < numOut; ++c) {
            out[c] = c < channels ? outputs[c] + done : scratch.data() + step * static_cast<size_t>(c - channels);
        }
        effectRecord->processReplacing(effectRecord, in.data(), out.data(), n);
    }
    processingThread.store(0);
}

void PluginHost::close() {
    if (!effectRecord) return;
    AEffect* closing = effectRecord;
    closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
    effectRecord = nullptr;
    unregisterHost(this);
}
