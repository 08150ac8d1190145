// EffectBaseExt: the second-generation opcodes (25 to 76), their defaults and the remaining host services.
#pragma once

#include "framework/EffectBase.h"

class EffectBaseExt : public EffectBase {
  public:
    EffectBaseExt(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);

    // Opcodes 25 to 76; all others go to EffectBase::dispatch.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual EditorBase* getEditor();
    virtual VstInt32 hostWantMidi(VstInt32 filter);
    virtual VstTimeInfo* hostGetTime(VstInt32 filter);
    virtual VstInt32 hostTempoAt(VstInt32 position);
    virtual VstInt32 processEvents(VstEvents* events);
    virtual VstInt32 hostGetNumAutomatableParameters();
    virtual VstInt32 hostGetParameterQuantization();
    virtual bool canParameterBeAutomated(VstInt32 index);
    virtual bool setParameterFromText(VstInt32 index, char* text);
    virtual float getChannelParameterValue(VstInt32 channel, VstInt32 index);
    virtual VstInt32 getNumCategories();
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32 destination);
    virtual bool hostIoChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(VstInt32 width, VstInt32 height);
    virtual float updateSampleRate();
    virtual VstInt32 updateBlockSize();
    virtual VstInt32 hostGetInputLatency();
    virtual VstInt32 hostGetOutputLatency();
    virtual AEffect* hostGetPreviousPlug(VstInt32 input);
    virtual AEffect* hostGetNextPlug(VstInt32 output);
    virtual void connectInput(VstInt32 index, bool connected);
    virtual void connectOutput(VstInt32 index, bool connected);
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties);
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties);
    virtual VstInt32 getCategory();
    virtual VstInt32 hostWillReplaceOrAccumulate();
    virtual VstInt32 hostGetCurrentProcessLevel();
    virtual VstInt32 hostGetAutomationState();
    virtual void setExtIsAsync(bool state);
    virtual void setExtHasBuffer(bool state);
    virtual VstInt32 getCurrentPosition();
    virtual VstIntPtr getDestinationBuffer();
    virtual bool hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource);
    virtual bool hostOfflineWrite(VstOfflineTask* task, VstInt32 option);
    virtual bool hostOfflineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount);
    virtual bool hostOfflineGetCurrentPass();
    virtual bool hostOfflineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* files, VstInt32 fileCount, bool start);
    virtual bool offlinePrepare(VstOfflineTask* tasks, VstInt32 count);
    virtual bool offlineRun(VstOfflineTask* tasks, VstInt32 count);
    virtual VstInt32 getOfflinePassCount();
    virtual VstInt32 getOfflineMetaPassCount();
    virtual VstIntPtr hostSetOutputSampleRate(float rate);
    virtual VstSpeakerArrangement* hostGetInputSpeakerArrangement();
    virtual VstSpeakerArrangement* hostGetOutputSpeakerArrangement();
    virtual bool hostGetVendorString(char* text);
    virtual bool hostGetProductString(char* text);
    virtual VstInt32 hostGetVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual bool hostCanDo(const char* text);
    virtual void setIsSynth(bool state);
    virtual void setNoSoundInStop(bool state);
    virtual VstInt32 hostGetLanguage();
    virtual void* hostOpenWindow(VstWindow* description);
    virtual bool hostCloseWindow(VstWindow* description);
    virtual void* hostGetDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVariableIo(VstVariableIo* io);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate);
    virtual bool setBypass(bool bypass);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 canDo(char* text);
    virtual VstIntPtr getIcon();
    virtual bool setViewPosition(VstInt32 x, VstInt32 y);
    virtual VstInt32 getTailSize();
    virtual VstInt32 effectIdle();
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* properties);
    virtual bool keysRequired();
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* current);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool hostBeginEdit(VstInt32 index);
    virtual bool hostEndEdit(VstInt32 index);
    virtual bool hostOpenFileSelector(VstFileSelect* selector);
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value);
    virtual VstInt32 getNextShellPlugin(char* name);
    virtual VstInt32 startProcess();
    virtual VstInt32 stopProcess();
    virtual bool setPanLaw(VstInt32 type, float gain);
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* patch);
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* patch);

    // Speaker arrangements: a slot holds an arrangement allocated here, or null.
    virtual bool allocateArrangement(VstSpeakerArrangement** slot, VstInt32 channels);
    virtual bool releaseArrangement(VstSpeakerArrangement** slot);
    virtual bool copySpeakerProperties(VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** slot, VstSpeakerArrangement* from);

    // Host services that are not virtual.
    bool hostProcessEvents(VstEvents* events);
    bool hostCloseFileSelector(VstFileSelect* selector);
    bool hostGetChunkFile(void* info);
};
