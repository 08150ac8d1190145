// The effect record and dispatcher as a host sees them: construction values, entries, opcode answers.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "ProbeEffect.h"
#include "RecordingHost.h"

namespace {

class DispatcherTest : public ::testing::Test {
  protected:
    void SetUp() override { RecordingHost::instance().reset(); }
    void TearDown() override {
        if (effect) dispatch(record, effClose);
    }
    ProbeEffect* effect = new ProbeEffect(RecordingHost::callback);
    AEffect* record = effect->record();
};

TEST_F(DispatcherTest, RecordHoldsTheConstructionValues) {
    EXPECT_EQ(record->magic, 0x56737450);
    EXPECT_EQ(record->numPrograms, 4);
    EXPECT_EQ(record->numParams, 3);
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->flags, 0);
    EXPECT_EQ(record->resvd1, 0);
    EXPECT_EQ(record->resvd2, 0);
    EXPECT_EQ(record->initialDelay, 0);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->object, static_cast<void*>(effect));
    EXPECT_EQ(record->user, nullptr);
    EXPECT_EQ(record->uniqueID, 0x4E6F4566);
    EXPECT_EQ(record->version, 1);
    const char zeros[60] = {};
    EXPECT_EQ(std::memcmp(record->future, zeros, sizeof(zeros)), 0);
    EXPECT_EQ(effect->getSampleRate(), 44100.0f);
    EXPECT_EQ(effect->getBlockSize(), 1024);
    EXPECT_EQ(dispatch(record, effGetProgram), 0);
}

TEST_F(DispatcherTest, EntriesReachTheObject) {
    float left[4] = {}, right[4] = {};
    float* channels[2] = {left, right};
    record->process(record, channels, channels, 4);
    EXPECT_EQ(effect->lastFrames, 4);
    record->processReplacing(record, channels, channels, 3);
    EXPECT_EQ(effect->lastFrames, 3);
    EXPECT_EQ(effect->lastOutputs, channels);
    record->setParameter(record, 1, 0.25f);
    EXPECT_EQ(effect->params[1], 0.25f);
    EXPECT_EQ(record->getParameter(record, 1), 0.25f);
    EXPECT_EQ(effect->calls, (std::vector<std::string>{"process", "processReplacing", "setParameter"}));
}

TEST_F(DispatcherTest, FlagSettersTouchOnlyTheirBit) {
    effect->setCanMono(true);
    effect->setHasVu(true);
    effect->setCanProcessReplacing(true);
    EXPECT_EQ(record->flags, 0x1C);
    effect->setIsSynth(true);
    effect->setNoSoundInStop(true);
    effect->setExtIsAsync(true);
    effect->setExtHasBuffer(true);
    effect->setHasClip(true);
    effect->setProgramsAreChunks(true);
    EXPECT_EQ(record->flags, 0x1C | 0x100 | 0x200 | 0x400 | 0x800 | 0x2 | 0x20);
    EXPECT_EQ(dispatch(record, effGetPlugCategory), 2);  // an instrument once the synth bit is set
    effect->setHasVu(false);
    effect->setIsSynth(false);
    EXPECT_EQ(record->flags, 0x18 | 0x200 | 0x400 | 0x800 | 0x2 | 0x20);
    EXPECT_EQ(dispatch(record, effGetPlugCategory), 0);
}

TEST_F(DispatcherTest, FixedAnswers) {
    EXPECT_EQ(dispatch(record, effIdentify), 0x4E764566);
    EXPECT_EQ(dispatch(record, effGetVstVersion), 2300);
    EXPECT_EQ(dispatch(record, 77), 0);
    EXPECT_EQ(dispatch(record, -1), 0);
    EXPECT_EQ(dispatch(record, effEditDraw), 0);
    EXPECT_EQ(dispatch(record, effGetNumProgramCategories), 1);
    EXPECT_EQ(dispatch(record, effCanBeAutomated, 9), 1);
    EXPECT_EQ(dispatch(record, effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(record, effGetChunk, 0, 0, &record), 0);
    EXPECT_EQ(dispatch(record, effConnectInput, 0, 1), 1);
    EXPECT_EQ(dispatch(record, effConnectOutput, 0, 0), 1);
    EXPECT_EQ(dispatch(record, effSetTotalSampleToProcess, 0, 4410), 4410);
    char bypass[] = "bypass";
    EXPECT_EQ(dispatch(record, effCanDo, 0, 0, bypass), 1);  // the probe's own canDo is reached
}

TEST_F(DispatcherTest, KeysRequiredIsInverted) {
    EXPECT_EQ(dispatch(record, effKeysRequired), 1);
    effect->wantsKeys = true;
    EXPECT_EQ(dispatch(record, effKeysRequired), 0);
}

TEST_F(DispatcherTest, VuIsScaledAndCutTowardZero) {
    effect->vu = 0.5f;
    EXPECT_EQ(dispatch(record, effGetVu), 16383);
    effect->vu = -0.5f;
    EXPECT_EQ(dispatch(record, effGetVu), -16383);
    effect->vu = 1.0f;
    EXPECT_EQ(dispatch(record, effGetVu), 32767);
    effect->vu = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(dispatch(record, effGetVu), 0);
}

TEST_F(DispatcherTest, SetProgramKeepsWithinBounds) {
    dispatch(record, effSetProgram, 0, 3);
    EXPECT_EQ(dispatch(record, effGetProgram), 3);
    dispatch(record, effSetProgram, 0, 4);
    dispatch(record, effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(record, effGetProgram), 3);
#if INTPTR_MAX > INT32_MAX
    dispatch(record, effSetProgram, 0, VstIntPtr(1) << 32);  // would be 0 if cut to 32 bits first
    EXPECT_EQ(dispatch(record, effGetProgram), 3);
#endif
}

TEST_F(DispatcherTest, MainsChangedSuspendsOnZeroOnly) {
    dispatch(record, effMainsChanged, 0, 1);
    dispatch(record, effMainsChanged, 0, 0);
    dispatch(record, effMainsChanged, 0, 2);
    EXPECT_EQ(effect->calls, (std::vector<std::string>{"resume", "suspend", "resume"}));
}

TEST_F(DispatcherTest, RatesAndSizesReachTheFields) {
    dispatch(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(record, effSetBlockSize, 0, 256);
    EXPECT_EQ(effect->getSampleRate(), 48000.0f);
    EXPECT_EQ(effect->getBlockSize(), 256);
    EXPECT_EQ(dispatch(record, effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect->getSampleRate(), 96000.0f);
    EXPECT_EQ(effect->getBlockSize(), 512);
}

TEST_F(DispatcherTest, TextOpcodesWriteIntoTheBuffer) {
    char text[64];
    struct Case {
        VstInt32 opcode;
        VstIntPtr answer;
        char first;
    };
    const Case cases[] = {
        {effGetProgramName, 0, 'p'},        {effSetProgramName, 0, 's'},   {effGetParamLabel, 0, 'd'},
        {effGetParamDisplay, 0, '1'},       {effGetParamName, 0, 'G'},     {effGetEffectName, 1, 'P'},
        {effGetErrorText, 1, 'n'},          {effGetVendorString, 1, 'V'},  {effGetProductString, 1, 'P'},
        {effGetProgramNameIndexed, 1, 'i'}, {effString2Parameter, 1, 't'}, {effCanDo, 1, 'c'},
        {effShellGetNextPlugin, 7, 's'},
    };
    for (const Case& c : cases) {
        std::strcpy(text, "??");
        EXPECT_EQ(dispatch(record, c.opcode, 0, 0, text), c.answer) << "opcode " << c.opcode;
        EXPECT_EQ(text[0], c.first) << "opcode " << c.opcode;
    }
}

TEST_F(DispatcherTest, MissingBuffersAreNeverWritten) {
    const VstInt32 opcodes[] = {effGetProgramName,
                                effSetProgramName,
                                effGetParamLabel,
                                effGetParamDisplay,
                                effGetParamName,
                                effGetEffectName,
                                effGetErrorText,
                                effGetVendorString,
                                effGetProductString,
                                effGetProgramNameIndexed,
                                effString2Parameter,
                                effCanDo,
                                effShellGetNextPlugin,
                                effGetChunk,
                                effSetChunk,
                                effEditGetRect,
                                effGetSpeakerArrangement};
    for (VstInt32 opcode : opcodes)
        EXPECT_EQ(dispatch(record, opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    EXPECT_TRUE(effect->calls.empty());
}

TEST_F(DispatcherTest, EditorOpcodesWithoutEditorAnswerZero) {
    ERect* rect = reinterpret_cast<ERect*>(1);
    EXPECT_EQ(dispatch(record, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(dispatch(record, effEditOpen, 0, 0, this), 0);
    EXPECT_EQ(dispatch(record, effEditClose), 0);
    EXPECT_EQ(dispatch(record, effEditIdle), 0);
    EXPECT_EQ(dispatch(record, effEditKeyDown, 'a', 1), 0);
    EXPECT_EQ(dispatch(record, effEditKeyUp, 'a', 1), 0);
    EXPECT_EQ(dispatch(record, effSetEditKnobMode, 0, 2), 0);
    EXPECT_EQ(effect->getEditor(), nullptr);
    EXPECT_EQ(record->flags & effFlagsHasEditor, 0);
}

TEST_F(DispatcherTest, KeyRecordIsBuiltFromIndexValueAndOpt) {
    auto* editor = new ProbeEditor(effect);
    EXPECT_EQ(record->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(dispatch(record, effEditKeyDown, 'x', 0x10D, nullptr, 257.9f), 11);
    EXPECT_EQ(editor->lastKey.character, 'x');
    EXPECT_EQ(editor->lastKey.virt, 0x0D);
    EXPECT_EQ(editor->lastKey.modifier, 1);
    EXPECT_EQ(dispatch(record, effEditKeyUp, -3, VKEY_LEFT, nullptr, -1.5f), 12);
    EXPECT_EQ(editor->lastKey.character, -3);
    EXPECT_EQ(editor->lastKey.virt, VKEY_LEFT);
    EXPECT_EQ(editor->lastKey.modifier, 0xFF);  // -1 cut toward zero, low byte
    dispatch(record, effEditKeyDown, 0, 0, nullptr, std::numeric_limits<float>::infinity());
    EXPECT_EQ(editor->lastKey.modifier, 0);
}

TEST_F(DispatcherTest, EditorBaseDefaultsThroughTheDispatcher) {
    auto* editor = new ProbeEditor(effect);
    ERect* rect = reinterpret_cast<ERect*>(1);
    EXPECT_EQ(dispatch(record, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(dispatch(record, effEditOpen, 0, 0, this), 0);
    EXPECT_EQ(editor->getParentWindow(), this);
    EXPECT_EQ(dispatch(record, effSetEditKnobMode, 0, 2), 0);
    editor->requestUpdate();
    dispatch(record, effEditIdle);
    dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 1);
    dispatch(record, effEditClose);
    EXPECT_EQ(editor->getParentWindow(), this);
}

// Keeps what the dispatcher called, for reading after the object is gone.
class ClosingProbe : public ProbeEffect {
  public:
    ClosingProbe(bool* destroyed, std::vector<std::string>* lastCalls)
        : ProbeEffect(RecordingHost::callback, 4, 3, destroyed), lastCalls(lastCalls) {}
    ~ClosingProbe() override { *lastCalls = calls; }
    std::vector<std::string>* lastCalls;
};

TEST_F(DispatcherTest, CloseCallsCloseAndDestroysEffectAndEditor) {
    bool effectGone = false, editorGone = false;
    std::vector<std::string> lastCalls;
    auto* probe = new ClosingProbe(&effectGone, &lastCalls);
    new ProbeEditor(probe, &editorGone);
    AEffect* probeRecord = probe->record();
    EXPECT_EQ(dispatch(probeRecord, effClose), 1);
    EXPECT_EQ(lastCalls, (std::vector<std::string>{"close"}));
    EXPECT_TRUE(effectGone);
    EXPECT_TRUE(editorGone);
}

TEST_F(DispatcherTest, SpeakerArrangementQueryClearsBothSlots) {
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ(dispatch(record, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

}  // namespace
