// EffectBaseExt: the second-generation dispatcher (25 to 76) and its defaults.
#include "framework/EffectBaseExt.h"

#include <cmath>

#include "framework/EditorBase.h"

namespace {

// The key record of effEditKeyDown and effEditKeyUp: modifiers are opt cut toward zero, low byte.
VstKeyCode makeKeyCode(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xFF);
    double modifiers = std::trunc(static_cast<double>(opt));
    key.modifier = (modifiers > -2147483649.0 && modifiers < 2147483648.0)
                       ? static_cast<unsigned char>(static_cast<VstInt32>(modifiers) & 0xFF)
                       : 0;
    return key;
}

}  // namespace

EffectBaseExt::EffectBaseExt(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams)
    : EffectBase(hostCallback, numPrograms, numParams) {}

VstIntPtr EffectBaseExt::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    const VstInt32 value32 = static_cast<VstInt32>(value);
    switch (opcode) {
        case effProcessEvents:
            return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        // Text opcodes without a buffer write nothing and answer 0.
        case effString2Parameter:
            return text && setParameterFromText(index, text) ? 1 : 0;
        case effGetNumProgramCategories:
            return getNumCategories();
        case effGetProgramNameIndexed:
            return text && getProgramNameIndexed(value32, index, text) ? 1 : 0;
        case effCopyProgram:
            return copyProgram(index) ? 1 : 0;
        case effConnectInput:
            connectInput(index, value != 0);
            return 1;
        case effConnectOutput:
            connectOutput(index, value != 0);
            return 1;
        case effGetInputProperties:
            return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return getCategory();
        case effGetCurrentPosition:
            return getCurrentPosition();
        case effGetDestinationBuffer:
            return getDestinationBuffer();
        case effOfflineNotify:
            return offlineNotify(static_cast<VstAudioFile*>(ptr), value32, index != 0) ? 1 : 0;
        case effOfflinePrepare:
            return offlinePrepare(static_cast<VstOfflineTask*>(ptr), value32) ? 1 : 0;
        case effOfflineRun:
            return offlineRun(static_cast<VstOfflineTask*>(ptr), value32) ? 1 : 0;
        case effProcessVarIo:
            return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate(value32, opt);
            return 1;
        case effSetBypass:
            return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName:
            return text && getEffectName(text) ? 1 : 0;
        case effGetErrorText:
            return text && getErrorText(text) ? 1 : 0;
        case effGetVendorString:
            return text && getVendorString(text) ? 1 : 0;
        case effGetProductString:
            return text && getProductString(text) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return text ? canDo(text) : 0;
        case effGetTailSize:
            return getTailSize();
        case effIdle:
            return effectIdle();
        case effGetIcon:
            return getIcon();
        case effSetViewPosition:
            return setViewPosition(index, value32) ? 1 : 0;
        case effGetParameterProperties:
            return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effKeysRequired:
            return keysRequired() ? 0 : 1;  // the published answer is inverted
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode key = makeKeyCode(index, value, opt);
            return opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
        }
        case effSetEditKnobMode:
            return editor ? editor->setKnobMode(value32) : 0;
        case effGetMidiProgramName:
            return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
        case effGetMidiProgramCategory:
            return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
        case effHasMidiProgramsChanged:
            return hasMidiProgramsChanged(index) ? 1 : 0;
        case effGetMidiKeyName:
            return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
        case effBeginSetProgram:
            return beginSetProgram() ? 1 : 0;
        case effEndSetProgram:
            return endSetProgram() ? 1 : 0;
        case effGetSpeakerArrangement: {
            // Both slots are written through: without them there is nothing to answer.
            auto* input = reinterpret_cast<VstSpeakerArrangement**>(value);
            auto* output = static_cast<VstSpeakerArrangement**>(ptr);
            if (!input || !output) return 0;
            return getSpeakerArrangement(input, output) ? 1 : 0;
        }
        case effShellGetNextPlugin:
            return text ? getNextShellPlugin(text) : 0;
        case effStartProcess:
            return startProcess();
        case effStopProcess:
            return stopProcess();
        case effSetTotalSampleToProcess:
            return setTotalSampleToProcess(value32);
        case effSetPanLaw:
            return setPanLaw(value32, opt) ? 1 : 0;
        case effBeginLoadBank:
            return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
        case effBeginLoadProgram:
            return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
        default:
            return EffectBase::dispatch(opcode, index, value, ptr, opt);
    }
}

// Defaults -----------------------------------------------------------------------------------------------

EditorBase* EffectBaseExt::getEditor() {
    return editor;
}
VstInt32 EffectBaseExt::processEvents(VstEvents*) {
    return 0;
}
bool EffectBaseExt::canParameterBeAutomated(VstInt32) {
    return true;
}
bool EffectBaseExt::setParameterFromText(VstInt32, char*) {
    return false;
}
float EffectBaseExt::getChannelParameterValue(VstInt32, VstInt32) {
    return 0.0f;
}
VstInt32 EffectBaseExt::getNumCategories() {
    return 1;
}
bool EffectBaseExt::getProgramNameIndexed(VstInt32, VstInt32, char*) {
    return false;
}
bool EffectBaseExt::copyProgram(VstInt32) {
    return false;
}
void EffectBaseExt::connectInput(VstInt32, bool) {}
void EffectBaseExt::connectOutput(VstInt32, bool) {}
bool EffectBaseExt::getInputProperties(VstInt32, VstPinProperties*) {
    return false;
}
bool EffectBaseExt::getOutputProperties(VstInt32, VstPinProperties*) {
    return false;
}
VstInt32 EffectBaseExt::getCategory() {
    return (effectRecord.flags & effFlagsIsSynth) ? 2 : 0;
}
void EffectBaseExt::setExtIsAsync(bool state) {
    setFlag(effFlagsExtIsAsync, state);
}
void EffectBaseExt::setExtHasBuffer(bool state) {
    setFlag(effFlagsExtHasBuffer, state);
}
VstInt32 EffectBaseExt::getCurrentPosition() {
    return 0;
}
VstIntPtr EffectBaseExt::getDestinationBuffer() {
    return 0;
}
bool EffectBaseExt::offlineNotify(VstAudioFile*, VstInt32, bool) {
    return false;
}
bool EffectBaseExt::offlinePrepare(VstOfflineTask*, VstInt32) {
    return false;
}
bool EffectBaseExt::offlineRun(VstOfflineTask*, VstInt32) {
    return false;
}
VstInt32 EffectBaseExt::getOfflinePassCount() {
    return 0;
}
VstInt32 EffectBaseExt::getOfflineMetaPassCount() {
    return 0;
}
void EffectBaseExt::setIsSynth(bool state) {
    setFlag(effFlagsIsSynth, state);
}
void EffectBaseExt::setNoSoundInStop(bool state) {
    setFlag(effFlagsNoSoundInStop, state);
}
bool EffectBaseExt::processVariableIo(VstVariableIo*) {
    return false;
}
bool EffectBaseExt::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) {
    return false;
}

bool EffectBaseExt::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
}

void EffectBaseExt::setBlockSizeAndSampleRate(VstInt32 size, float rate) {
    blockSize.store(size);
    sampleRate.store(rate);
}

bool EffectBaseExt::setBypass(bool) {
    return false;
}
bool EffectBaseExt::getEffectName(char*) {
    return false;
}
bool EffectBaseExt::getErrorText(char*) {
    return false;
}
bool EffectBaseExt::getVendorString(char*) {
    return false;
}
bool EffectBaseExt::getProductString(char*) {
    return false;
}
VstInt32 EffectBaseExt::getVendorVersion() {
    return 0;
}
VstIntPtr EffectBaseExt::vendorSpecific(VstInt32, VstIntPtr, void*, float) {
    return 0;
}
VstInt32 EffectBaseExt::canDo(char*) {
    return 0;
}
VstIntPtr EffectBaseExt::getIcon() {
    return 0;
}
bool EffectBaseExt::setViewPosition(VstInt32, VstInt32) {
    return false;
}
VstInt32 EffectBaseExt::getTailSize() {
    return 0;
}
VstInt32 EffectBaseExt::effectIdle() {
    return 0;
}
bool EffectBaseExt::getParameterProperties(VstInt32, VstParameterProperties*) {
    return false;
}
bool EffectBaseExt::keysRequired() {
    return false;
}
VstInt32 EffectBaseExt::getVstVersion() {
    return 2300;
}
VstInt32 EffectBaseExt::getMidiProgramName(VstInt32, MidiProgramName*) {
    return 0;
}
VstInt32 EffectBaseExt::getCurrentMidiProgram(VstInt32, MidiProgramName*) {
    return -1;
}
VstInt32 EffectBaseExt::getMidiProgramCategory(VstInt32, MidiProgramCategory*) {
    return 0;
}
bool EffectBaseExt::hasMidiProgramsChanged(VstInt32) {
    return false;
}
bool EffectBaseExt::getMidiKeyName(VstInt32, MidiKeyName*) {
    return false;
}
bool EffectBaseExt::beginSetProgram() {
    return false;
}
bool EffectBaseExt::endSetProgram() {
    return false;
}
VstInt32 EffectBaseExt::setTotalSampleToProcess(VstInt32 value) {
    return value;
}
VstInt32 EffectBaseExt::getNextShellPlugin(char*) {
    return 0;
}
VstInt32 EffectBaseExt::startProcess() {
    return 0;
}
VstInt32 EffectBaseExt::stopProcess() {
    return 0;
}
bool EffectBaseExt::setPanLaw(VstInt32, float) {
    return false;
}
VstInt32 EffectBaseExt::beginLoadBank(VstPatchChunkInfo*) {
    return 0;
}
VstInt32 EffectBaseExt::beginLoadProgram(VstPatchChunkInfo*) {
    return 0;
}
