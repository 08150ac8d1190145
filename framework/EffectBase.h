// EffectBase: owner of the AEffect record, its five entries and the first-generation dispatcher (0 to 24).
#pragma once

#include "framework/VstInterface.h"
#include "base/RelaxedAtomic.h"

class EditorBase;

class EffectBase {
  public:
    EffectBase(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~EffectBase();

    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    // Parameters and audio.
    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);

    // Opcodes 0 to 24; every other opcode answers 0.
    virtual VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open();
    virtual void close();

    // Programs and parameter texts; text buffers belong to the caller.
    virtual VstInt32 getProgram();
    virtual void setProgram(VstInt32 program);
    virtual void setProgramName(char* text);
    virtual void getProgramName(char* text);
    virtual void getParameterLabel(VstInt32 index, char* text);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size);
    virtual void suspend();
    virtual void resume();

    // Record setters.
    virtual void setUniqueId(VstInt32 id);
    virtual void setNumInputs(VstInt32 inputs);
    virtual void setNumOutputs(VstInt32 outputs);
    virtual void setHasVu(bool state);
    virtual void setHasClip(bool state);
    virtual void setCanMono(bool state);
    virtual void setCanProcessReplacing(bool state);
    virtual void setProgramsAreChunks(bool state);
    virtual void setRealtimeQualities(VstInt32 qualities);
    virtual void setOfflineQualities(VstInt32 qualities);
    virtual void setInitialDelay(VstInt32 delay);

    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();

    // Host services of the first generation.
    virtual VstInt32 getHostVersion();
    virtual VstInt32 getHostCurrentId();
    virtual VstIntPtr hostIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

    // Fixed-width number texts (at most 8 characters and the terminator).
    virtual void formatDecibels(float value, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatFloat(float value, char* text);
    virtual void formatInteger(VstInt32 value, char* text);

    // The record handed to the host, and the object behind a record.
    AEffect* getAeffect() { return &effectRecord; }
    static EffectBase* fromRecord(AEffect* record) { return static_cast<EffectBase*>(record->object); }

    // Enters an editor (owned from now on) and raises effFlagsHasEditor; a null editor clears the field only.
    void setEditor(EditorBase* newEditor);

    // The five entries stored in the record.
    static VstIntPtr VSTCALLBACK dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index,
                                               VstIntPtr value, void* ptr, float opt);
    static void VSTCALLBACK processEntry(AEffect* record, float** inputs, float** outputs,
                                         VstInt32 sampleFrames);
    static void VSTCALLBACK setParameterEntry(AEffect* record, VstInt32 index, float value);
    static float VSTCALLBACK getParameterEntry(AEffect* record, VstInt32 index);
    static void VSTCALLBACK processReplacingEntry(AEffect* record, float** inputs, float** outputs,
                                                  VstInt32 sampleFrames);

  protected:
    // Sends one request to the host; without a host nothing is sent and the answer is 0.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setFlag(VstInt32 flag, bool state);

    // Written on the host's user-interface thread, read on the audio thread as well: relaxed atomics.
    RelaxedAtomic<float> sampleRate;
    EditorBase* editor;
    audioMasterCallback hostCallback;
    VstInt32 numPrograms;
    VstInt32 numParams;
    RelaxedAtomic<VstInt32> curProgram;
    RelaxedAtomic<VstInt32> blockSize;
    AEffect effectRecord;
};
