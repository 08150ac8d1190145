// EffectBase: construction of the record, the entry functions and the first-generation dispatcher.
#include "framework/EffectBase.h"

#include <cstring>

#include "framework/EditorBase.h"

namespace {

constexpr VstInt32 kDefaultUniqueId = fourCharCode('N', 'o', 'E', 'f');

// Float to int32 cut toward zero; values without an int32 image (NaN, out of range) give 0.
VstInt32 truncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
    return static_cast<VstInt32>(value);
}

}  // namespace

EffectBase::EffectBase(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams)
    : sampleRate(44100.0f),
      editor(nullptr),
      hostCallback(hostCallback),
      numPrograms(numPrograms),
      numParams(numParams),
      curProgram(0),
      blockSize(1024) {
    std::memset(&effectRecord, 0, sizeof(effectRecord));
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = dispatchEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.numPrograms = numPrograms;
    effectRecord.numParams = numParams;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.ioRatio = 1.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = kDefaultUniqueId;
    effectRecord.version = 1;
    effectRecord.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase() {
    delete editor;
}

void EffectBase::setEditor(EditorBase* newEditor) {
    editor = newEditor;
    if (newEditor) setFlag(effFlagsHasEditor, true);
}

// Entries ------------------------------------------------------------------------------------------------

// Each entry is a wall: nothing thrown crosses into the host, which answers as for an opcode without
// meaning (0, nothing done).
VstIntPtr VSTCALLBACK EffectBase::dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index,
                                                VstIntPtr value, void* ptr, float opt) {
    EffectBase* effect = fromRecord(record);
    if (opcode == effClose) {
        try {
            effect->dispatch(opcode, index, value, ptr, opt);
        } catch (...) {
        }
        delete effect;
        return 1;
    }
    try {
        return effect->dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VSTCALLBACK EffectBase::processEntry(AEffect* record, float** inputs, float** outputs,
                                          VstInt32 sampleFrames) {
    try {
        fromRecord(record)->process(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VSTCALLBACK EffectBase::setParameterEntry(AEffect* record, VstInt32 index, float value) {
    try {
        fromRecord(record)->setParameter(index, value);
    } catch (...) {
    }
}

float VSTCALLBACK EffectBase::getParameterEntry(AEffect* record, VstInt32 index) {
    try {
        return fromRecord(record)->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}

void VSTCALLBACK EffectBase::processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                                   VstInt32 sampleFrames) {
    try {
        fromRecord(record)->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

// Dispatcher ---------------------------------------------------------------------------------------------

VstIntPtr EffectBase::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        // A host that hands no buffer gets nothing written.
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParameterLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParameterDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParameterName(index, text);
            return 0;
        case effGetVu:
            return truncateToInt32(static_cast<double>(getVu()) * 32767.0);
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<VstInt32>(value));
            return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect:
            if (!editor || !ptr) return 0;
            return editor->getRect(static_cast<ERect**>(ptr));
        case effEditOpen:
            return editor ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify:
            return kEffectIdentifyAnswer;
        case effGetChunk:
            if (!ptr) return 0;
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk:
            if (!ptr) return 0;
            return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default:
            return 0;  // effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep and unknown opcodes
    }
}

// Defaults -----------------------------------------------------------------------------------------------

void EffectBase::setParameter(VstInt32, float) {}
float EffectBase::getParameter(VstInt32) {
    return 0.0f;
}
void EffectBase::processReplacing(float**, float**, VstInt32) {}
void EffectBase::open() {}
void EffectBase::close() {}
VstInt32 EffectBase::getProgram() {
    return curProgram.load();
}
void EffectBase::setProgram(VstInt32 program) {
    curProgram.store(program);
}
void EffectBase::setProgramName(char* text) {
    text[0] = 0;
}
void EffectBase::getProgramName(char* text) {
    text[0] = 0;
}
void EffectBase::getParameterLabel(VstInt32, char* text) {
    text[0] = 0;
}
void EffectBase::getParameterDisplay(VstInt32, char* text) {
    text[0] = 0;
}
void EffectBase::getParameterName(VstInt32, char* text) {
    text[0] = 0;
}
float EffectBase::getVu() {
    return 0.0f;
}
VstInt32 EffectBase::getChunk(void**, bool) {
    return 0;
}
VstInt32 EffectBase::setChunk(void*, VstInt32, bool) {
    return 0;
}
void EffectBase::setSampleRate(float rate) {
    sampleRate.store(rate);
}
void EffectBase::setBlockSize(VstInt32 size) {
    blockSize.store(size);
}
void EffectBase::suspend() {}
void EffectBase::resume() {}
float EffectBase::getSampleRate() {
    return sampleRate.load();
}
VstInt32 EffectBase::getBlockSize() {
    return blockSize.load();
}

// Record setters -----------------------------------------------------------------------------------------

void EffectBase::setFlag(VstInt32 flag, bool state) {
    if (state)
        effectRecord.flags |= flag;
    else
        effectRecord.flags &= ~flag;
}

void EffectBase::setUniqueId(VstInt32 id) {
    effectRecord.uniqueID = id;
}
void EffectBase::setNumInputs(VstInt32 inputs) {
    effectRecord.numInputs = inputs;
}
void EffectBase::setNumOutputs(VstInt32 outputs) {
    effectRecord.numOutputs = outputs;
}
void EffectBase::setHasVu(bool state) {
    setFlag(effFlagsHasVu, state);
}
void EffectBase::setHasClip(bool state) {
    setFlag(effFlagsHasClip, state);
}
void EffectBase::setCanMono(bool state) {
    setFlag(effFlagsCanMono, state);
}
void EffectBase::setCanProcessReplacing(bool state) {
    setFlag(effFlagsCanReplacing, state);
}
void EffectBase::setProgramsAreChunks(bool state) {
    setFlag(effFlagsProgramChunks, state);
}
void EffectBase::setRealtimeQualities(VstInt32 qualities) {
    effectRecord.realQualities = qualities;
}
void EffectBase::setOfflineQualities(VstInt32 qualities) {
    effectRecord.offQualities = qualities;
}
void EffectBase::setInitialDelay(VstInt32 delay) {
    effectRecord.initialDelay = delay;
}
