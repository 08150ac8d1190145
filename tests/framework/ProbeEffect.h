// A small effect for the framework tests: records which operations the dispatcher reached.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "framework/EditorBase.h"
#include "framework/EffectBaseExt.h"

class ProbeEffect : public EffectBaseExt {
  public:
    explicit ProbeEffect(audioMasterCallback host, VstInt32 programs = 4, VstInt32 params = 3,
                         bool* destroyed = nullptr)
        : EffectBaseExt(host, programs, params), destroyed(destroyed) {}
    ~ProbeEffect() override {
        if (destroyed) *destroyed = true;
    }

    void process(float** inputs, float** outputs, VstInt32 frames) override {
        processed(inputs, outputs, frames);
    }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
        calls.push_back("processReplacing");
        lastOutputs = outputs;
        lastInputs = inputs;
        lastFrames = frames;
    }
    void setParameter(VstInt32 index, float value) override {
        if (index >= 0 && index < 3) params[index] = value;
        calls.push_back("setParameter");
    }
    float getParameter(VstInt32 index) override { return index >= 0 && index < 3 ? params[index] : -1.0f; }
    void open() override { calls.push_back("open"); }
    void close() override { calls.push_back("close"); }
    void suspend() override { calls.push_back("suspend"); }
    void resume() override { calls.push_back("resume"); }
    float getVu() override { return vu; }
    bool keysRequired() override { return wantsKeys; }

    // Text operations that write or read their buffer, so a missing buffer would be noticed.
    void getProgramName(char* text) override { written(text, "prog"); }
    void setProgramName(char* text) override { written(text, "set"); }
    void getParameterLabel(VstInt32, char* text) override { written(text, "dB"); }
    void getParameterDisplay(VstInt32, char* text) override { written(text, "1.0"); }
    void getParameterName(VstInt32, char* text) override { written(text, "Gain"); }
    bool getEffectName(char* text) override { return written(text, "Probe"); }
    bool getErrorText(char* text) override { return written(text, "none"); }
    bool getVendorString(char* text) override { return written(text, "Vendor"); }
    bool getProductString(char* text) override { return written(text, "Product"); }
    bool getProgramNameIndexed(VstInt32, VstInt32, char* text) override { return written(text, "indexed"); }
    bool setParameterFromText(VstInt32, char* text) override { return written(text, "text"); }
    VstInt32 canDo(char* text) override { return written(text, "cando") ? 1 : 0; }
    VstInt32 getNextShellPlugin(char* text) override { return written(text, "shell") ? 7 : 0; }

    AEffect* record() { return getAeffect(); }
    VstInt32 declaredPrograms() const { return numPrograms; }

    std::vector<std::string> calls;
    float params[3] = {0, 0, 0};
    float vu = 0;
    bool wantsKeys = false;
    float** lastInputs = nullptr;
    float** lastOutputs = nullptr;
    VstInt32 lastFrames = 0;

  private:
    void processed(float** inputs, float** outputs, VstInt32 frames) {
        calls.push_back("process");
        lastInputs = inputs;
        lastOutputs = outputs;
        lastFrames = frames;
    }
    bool written(char* text, const char* what) {
        calls.push_back(what);
        text[0] = what[0];
        text[1] = 0;
        return true;
    }
    bool* destroyed;
};

// An editor that records what the dispatcher hands it.
class ProbeEditor : public EditorBase {
  public:
    ProbeEditor(EffectBase* effect, bool* destroyed = nullptr) : EditorBase(effect), destroyed(destroyed) {
        effect->setEditor(this);
    }
    ~ProbeEditor() override {
        if (destroyed) *destroyed = true;
    }
    VstInt32 onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return 11;
    }
    VstInt32 onKeyUp(VstKeyCode& key) override {
        lastKey = key;
        return 12;
    }
    void update() override { ++updates; }

    VstKeyCode lastKey{};
    int updates = 0;

  private:
    bool* destroyed;
};

inline VstIntPtr dispatch(AEffect* record, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}
