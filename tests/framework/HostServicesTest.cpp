// Host services: the opcode and argument placement of every request, how answers are read, fallbacks.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ProbeEffect.h"
#include "RecordingHost.h"

namespace {

// One host service, called with fixed arguments, and what the host must receive.
struct ServiceCase {
    const char* name;
    std::function<VstIntPtr(EffectBaseExt&)> call;  // the service's result as a number
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr fallback;  // the result without a host
};

char textBuffer[8];
char selectorRecord[4];
VstIntPtr asNumber(const void* pointer) {
    return reinterpret_cast<VstIntPtr>(pointer);
}

std::vector<ServiceCase> serviceCases() {
    auto* events = reinterpret_cast<VstEvents*>(textBuffer);
    auto* task = reinterpret_cast<VstOfflineTask*>(textBuffer);
    auto* files = reinterpret_cast<VstAudioFile*>(textBuffer);
    auto* window = reinterpret_cast<VstWindow*>(textBuffer);
    auto* selector = reinterpret_cast<VstFileSelect*>(selectorRecord);
    return {
        {"getHostVersion", [](EffectBaseExt& e) { return e.getHostVersion(); }, 1, 0, 0, nullptr, 0, 1},
        {"getHostCurrentId", [](EffectBaseExt& e) { return e.getHostCurrentId(); }, 2, 0, 0, nullptr, 0, 0},
        {"hostIdle", [](EffectBaseExt& e) { return e.hostIdle(); }, 3, 0, 0, nullptr, 0, 0},
        {"isInputConnected", [](EffectBaseExt& e) { return VstIntPtr(e.isInputConnected(5)); }, 4, 5, 0,
         nullptr, 0, 1},
        {"isOutputConnected", [](EffectBaseExt& e) { return VstIntPtr(e.isOutputConnected(6)); }, 4, 6, 1,
         nullptr, 0, 1},
        {"hostWantMidi", [](EffectBaseExt& e) { return e.hostWantMidi(3); }, 6, 0, 3, nullptr, 0, 0},
        {"hostGetTime", [](EffectBaseExt& e) { return asNumber(e.hostGetTime(0x200)); }, 7, 0, 0x200, nullptr,
         0, 0},
        {"hostProcessEvents", [=](EffectBaseExt& e) { return VstIntPtr(e.hostProcessEvents(events)); }, 8, 0,
         0, events, 0, 0},
        {"hostTempoAt", [](EffectBaseExt& e) { return e.hostTempoAt(4410); }, 10, 0, 4410, nullptr, 0, 0},
        {"hostGetNumAutomatableParameters",
         [](EffectBaseExt& e) { return e.hostGetNumAutomatableParameters(); }, 11, 0, 0, nullptr, 0, 0},
        {"hostGetParameterQuantization", [](EffectBaseExt& e) { return e.hostGetParameterQuantization(); },
         12, 0, 0, nullptr, 0, 0},
        {"hostIoChanged", [](EffectBaseExt& e) { return VstIntPtr(e.hostIoChanged()); }, 13, 0, 0, nullptr, 0,
         0},
        {"hostNeedIdle", [](EffectBaseExt& e) { return VstIntPtr(e.hostNeedIdle()); }, 14, 0, 0, nullptr, 0,
         0},
        {"hostSizeWindow", [](EffectBaseExt& e) { return VstIntPtr(e.hostSizeWindow(762, 104)); }, 15, 762,
         104, nullptr, 0, 0},
        {"hostGetInputLatency", [](EffectBaseExt& e) { return e.hostGetInputLatency(); }, 18, 0, 0, nullptr,
         0, 0},
        {"hostGetOutputLatency", [](EffectBaseExt& e) { return e.hostGetOutputLatency(); }, 19, 0, 0, nullptr,
         0, 0},
        {"hostGetPreviousPlug", [](EffectBaseExt& e) { return asNumber(e.hostGetPreviousPlug(3)); }, 20, 0, 0,
         nullptr, 0, 0},
        {"hostGetNextPlug", [](EffectBaseExt& e) { return asNumber(e.hostGetNextPlug(3)); }, 21, 0, 0,
         nullptr, 0, 0},
        {"hostWillReplaceOrAccumulate", [](EffectBaseExt& e) { return e.hostWillReplaceOrAccumulate(); }, 22,
         0, 0, nullptr, 0, 0},
        {"hostGetCurrentProcessLevel", [](EffectBaseExt& e) { return e.hostGetCurrentProcessLevel(); }, 23, 0,
         0, nullptr, 0, 0},
        {"hostGetAutomationState", [](EffectBaseExt& e) { return e.hostGetAutomationState(); }, 24, 0, 0,
         nullptr, 0, 0},
        {"hostOfflineStart", [=](EffectBaseExt& e) { return VstIntPtr(e.hostOfflineStart(files, 2, 3)); }, 25,
         3, 2, files, 0, 0},
        {"hostOfflineRead", [=](EffectBaseExt& e) { return VstIntPtr(e.hostOfflineRead(task, 5, true)); }, 26,
         1, 5, task, 0, 0},
        {"hostOfflineWrite", [=](EffectBaseExt& e) { return VstIntPtr(e.hostOfflineWrite(task, 6)); }, 27, 0,
         6, task, 0, 0},
        {"hostOfflineGetCurrentPass",
         [](EffectBaseExt& e) { return VstIntPtr(e.hostOfflineGetCurrentPass()); }, 28, 0, 0, nullptr, 0, 0},
        {"hostOfflineGetCurrentMetaPass",
         [](EffectBaseExt& e) { return VstIntPtr(e.hostOfflineGetCurrentMetaPass()); }, 29, 0, 0, nullptr, 0,
         0},
        {"hostSetOutputSampleRate", [](EffectBaseExt& e) { return e.hostSetOutputSampleRate(22050.0f); }, 30,
         0, 0, nullptr, 22050.0f, 0},
        {"hostGetOutputSpeakerArrangement",
         [](EffectBaseExt& e) { return asNumber(e.hostGetOutputSpeakerArrangement()); }, 31, 0, 0, nullptr, 0,
         0},
        {"hostGetVendorString", [](EffectBaseExt& e) { return VstIntPtr(e.hostGetVendorString(textBuffer)); },
         32, 0, 0, textBuffer, 0, 0},
        {"hostGetProductString",
         [](EffectBaseExt& e) { return VstIntPtr(e.hostGetProductString(textBuffer)); }, 33, 0, 0, textBuffer,
         0, 0},
        {"hostGetVendorVersion", [](EffectBaseExt& e) { return e.hostGetVendorVersion(); }, 34, 0, 0, nullptr,
         0, 0},
        {"hostVendorSpecific", [](EffectBaseExt& e) { return e.hostVendorSpecific(7, 8, textBuffer, 0.5f); },
         35, 7, 8, textBuffer, 0.5f, 0},
        {"hostCanDo", [](EffectBaseExt& e) { return VstIntPtr(e.hostCanDo(textBuffer)); }, 37, 0, 0,
         textBuffer, 0, 0},
        {"hostGetLanguage", [](EffectBaseExt& e) { return e.hostGetLanguage(); }, 38, 0, 0, nullptr, 0, 0},
        {"hostOpenWindow", [=](EffectBaseExt& e) { return asNumber(e.hostOpenWindow(window)); }, 39, 0, 0,
         window, 0, 0},
        {"hostCloseWindow", [=](EffectBaseExt& e) { return VstIntPtr(e.hostCloseWindow(window)); }, 40, 0, 0,
         window, 0, 0},
        {"hostGetDirectory", [](EffectBaseExt& e) { return asNumber(e.hostGetDirectory()); }, 41, 0, 0,
         nullptr, 0, 0},
        {"hostUpdateDisplay", [](EffectBaseExt& e) { return VstIntPtr(e.hostUpdateDisplay()); }, 42, 0, 0,
         nullptr, 0, 0},
        {"hostBeginEdit", [](EffectBaseExt& e) { return VstIntPtr(e.hostBeginEdit(7)); }, 43, 7, 0, nullptr,
         0, 0},
        {"hostEndEdit", [](EffectBaseExt& e) { return VstIntPtr(e.hostEndEdit(7)); }, 44, 7, 0, nullptr, 0,
         0},
        {"hostOpenFileSelector",
         [=](EffectBaseExt& e) { return VstIntPtr(e.hostOpenFileSelector(selector)); }, 45, 0, 0, selector, 0,
         0},
        {"hostCloseFileSelector",
         [=](EffectBaseExt& e) { return VstIntPtr(e.hostCloseFileSelector(selector)); }, 46, 0, 0, selector,
         0, 0},
        {"hostGetChunkFile", [](EffectBaseExt& e) { return VstIntPtr(e.hostGetChunkFile(textBuffer)); }, 48,
         0, 0, textBuffer, 0, 0},
        {"hostGetInputSpeakerArrangement",
         [](EffectBaseExt& e) { return asNumber(e.hostGetInputSpeakerArrangement()); }, 49, 0, 0, nullptr, 0,
         0},
    };
}

// What a service yields for a host answer: flags are any nonzero, pins connected on 0, events on exactly 1.
VstIntPtr expectedYield(const ServiceCase& c, VstIntPtr answer) {
    switch (c.opcode) {
        case audioMasterVersion:
            return answer == 0 ? 1 : answer;
        case audioMasterPinConnected:
            return answer == 0;
        case audioMasterProcessEvents:
            return answer == 1;
        case audioMasterIOChanged:
        case audioMasterNeedIdle:
        case audioMasterSizeWindow:
        case audioMasterOfflineStart:
        case audioMasterOfflineRead:
        case audioMasterOfflineWrite:
        case audioMasterOfflineGetCurrentPass:
        case audioMasterOfflineGetCurrentMetaPass:
        case audioMasterGetVendorString:
        case audioMasterGetProductString:
        case audioMasterCanDo:
        case audioMasterCloseWindow:
        case audioMasterUpdateDisplay:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterOpenFileSelector:
        case audioMasterCloseFileSelector:
        case audioMasterGetChunkFile:
            return answer != 0;
        default:
            return answer;
    }
}

class HostServicesTest : public ::testing::Test {
  protected:
    void SetUp() override { host.reset(); }
    RecordingHost& host = RecordingHost::instance();
};

TEST_F(HostServicesTest, EachServiceSendsItsRequestAndReadsTheAnswer) {
    ProbeEffect effect(RecordingHost::callback);
    for (VstIntPtr answer : {VstIntPtr(0), VstIntPtr(1), VstIntPtr(2), VstIntPtr(-1), VstIntPtr(4410)}) {
        host.answer = [answer](const HostRequest&) { return answer; };
        for (const ServiceCase& c : serviceCases()) {
            host.requests.clear();
            VstIntPtr result = c.call(effect);
            ASSERT_EQ(host.requests.size(), 1u) << c.name;
            const HostRequest& r = host.requests[0];
            EXPECT_EQ(r.effect, effect.record()) << c.name;
            EXPECT_EQ(r.opcode, c.opcode) << c.name;
            EXPECT_EQ(r.index, c.index) << c.name;
            EXPECT_EQ(r.value, c.value) << c.name;
            EXPECT_EQ(r.ptr, c.ptr) << c.name;
            EXPECT_EQ(r.opt, c.opt) << c.name;
            EXPECT_EQ(result, expectedYield(c, answer)) << c.name << " answered " << answer;
        }
    }
}

TEST_F(HostServicesTest, WithoutHostEveryServiceYieldsItsFallback) {
    ProbeEffect effect(nullptr);
    for (const ServiceCase& c : serviceCases()) EXPECT_EQ(c.call(effect), c.fallback) << c.name;
    EXPECT_EQ(effect.updateSampleRate(), 44100.0f);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    effect.setParameterAutomated(2, 0.75f);
    EXPECT_EQ(effect.getParameter(2), 0.75f);
}

TEST_F(HostServicesTest, NullRecordsAreNotSent) {
    ProbeEffect effect(RecordingHost::callback);
    host.answer = [](const HostRequest&) { return 1; };
    EXPECT_FALSE(effect.hostOpenFileSelector(nullptr));
    EXPECT_FALSE(effect.hostCloseFileSelector(nullptr));
    EXPECT_FALSE(effect.hostGetChunkFile(nullptr));
    EXPECT_TRUE(host.requests.empty());
}

TEST_F(HostServicesTest, AutomationSetsTheParameterFirstThenTellsTheHost) {
    ProbeEffect effect(RecordingHost::callback);
    float seen = -1;
    host.answer = [&](const HostRequest&) {
        seen = effect.getParameter(2);
        return 0;
    };
    effect.setParameterAutomated(2, 0.25f);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].opcode, audioMasterAutomate);
    EXPECT_EQ(host.requests[0].index, 2);
    EXPECT_EQ(host.requests[0].value, 0);
    EXPECT_EQ(host.requests[0].ptr, nullptr);
    EXPECT_EQ(host.requests[0].opt, 0.25f);
    EXPECT_EQ(seen, 0.25f);
}

TEST_F(HostServicesTest, RateAndSizeFollowOnlyPositiveAnswers) {
    ProbeEffect effect(RecordingHost::callback);
    host.answer = [](const HostRequest& r) -> VstIntPtr {
        return r.opcode == audioMasterGetSampleRate ? 48000 : 64;
    };
    EXPECT_EQ(effect.updateSampleRate(), 48000.0f);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.updateBlockSize(), 64);
    EXPECT_EQ(effect.getBlockSize(), 64);
    EXPECT_EQ(host.requests[0].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(host.requests[1].opcode, audioMasterGetBlockSize);
    for (VstIntPtr answer : {VstIntPtr(0), VstIntPtr(-5)}) {
        host.answer = [answer](const HostRequest&) { return answer; };
        EXPECT_EQ(effect.updateSampleRate(), 48000.0f);
        EXPECT_EQ(effect.updateBlockSize(), 64);
    }
}

}  // namespace
