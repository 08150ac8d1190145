// EffectBaseExt: the host services of the second interface generation.
#include "framework/EffectBaseExt.h"

// callHost answers 0 without a host, which is each service's fallback: 0, false or null. Flags are true
// for any nonzero answer, whatever its sign.

VstInt32 EffectBaseExt::hostWantMidi(VstInt32 filter) {
    return static_cast<VstInt32>(callHost(audioMasterWantMidi, 0, filter));
}

VstTimeInfo* EffectBaseExt::hostGetTime(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 EffectBaseExt::hostTempoAt(VstInt32 position) {
    return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, position));
}

VstInt32 EffectBaseExt::hostGetNumAutomatableParameters() {
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 EffectBaseExt::hostGetParameterQuantization() {
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool EffectBaseExt::hostIoChanged() {
    return callHost(audioMasterIOChanged) != 0;
}
bool EffectBaseExt::hostNeedIdle() {
    return callHost(audioMasterNeedIdle) != 0;
}

bool EffectBaseExt::hostSizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

// Only a positive answer replaces the stored rate or size.
float EffectBaseExt::updateSampleRate() {
    VstIntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0) sampleRate.store(static_cast<float>(rate));
    return sampleRate.load();
}

VstInt32 EffectBaseExt::updateBlockSize() {
    VstIntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0) blockSize.store(static_cast<VstInt32>(size));
    return blockSize.load();
}

VstInt32 EffectBaseExt::hostGetInputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}
VstInt32 EffectBaseExt::hostGetOutputLatency() {
    return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

// The pin argument is not sent; the host answers with the plug-in on the first pin.
AEffect* EffectBaseExt::hostGetPreviousPlug(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* EffectBaseExt::hostGetNextPlug(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstInt32 EffectBaseExt::hostWillReplaceOrAccumulate() {
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 EffectBaseExt::hostGetCurrentProcessLevel() {
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 EffectBaseExt::hostGetAutomationState() {
    return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool EffectBaseExt::hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource) {
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool EffectBaseExt::hostOfflineWrite(VstOfflineTask* task, VstInt32 option) {
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool EffectBaseExt::hostOfflineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount) {
    return callHost(audioMasterOfflineStart, newFileCount, fileCount, files) != 0;
}

bool EffectBaseExt::hostOfflineGetCurrentPass() {
    return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool EffectBaseExt::hostOfflineGetCurrentMetaPass() {
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

VstIntPtr EffectBaseExt::hostSetOutputSampleRate(float rate) {
    return callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* EffectBaseExt::hostGetInputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* EffectBaseExt::hostGetOutputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetOutputSpeakerArrangement));
}

bool EffectBaseExt::hostGetVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool EffectBaseExt::hostGetProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 EffectBaseExt::hostGetVendorVersion() {
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr EffectBaseExt::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

bool EffectBaseExt::hostCanDo(const char* text) {
    return callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)) != 0;
}

VstInt32 EffectBaseExt::hostGetLanguage() {
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* EffectBaseExt::hostOpenWindow(VstWindow* description) {
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, description));
}

bool EffectBaseExt::hostCloseWindow(VstWindow* description) {
    return callHost(audioMasterCloseWindow, 0, 0, description) != 0;
}

void* EffectBaseExt::hostGetDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool EffectBaseExt::hostUpdateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}
bool EffectBaseExt::hostBeginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}
bool EffectBaseExt::hostEndEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

bool EffectBaseExt::hostOpenFileSelector(VstFileSelect* selector) {
    return selector && callHost(audioMasterOpenFileSelector, 0, 0, selector) != 0;
}

bool EffectBaseExt::hostCloseFileSelector(VstFileSelect* selector) {
    return selector && callHost(audioMasterCloseFileSelector, 0, 0, selector) != 0;
}

bool EffectBaseExt::hostGetChunkFile(void* info) {
    return info && callHost(audioMasterGetChunkFile, 0, 0, info) != 0;
}

// Only an answer of exactly 1 means the host took the events.
bool EffectBaseExt::hostProcessEvents(VstEvents* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}
