// The entry and the identity a host sees: creation, refusal, record fields, names and the exported symbol.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <new>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

namespace {

struct HostVersion {
    explicit HostVersion(VstIntPtr answer) { hostVersionAnswer = answer; }
    ~HostVersion() { hostVersionAnswer = 2400; }
};

}  // namespace

TEST(PluginEntryTest, RefusesHostsThatDoNotSpeakTheInterface) {
    HostVersion version(0);
    hostVersionQueries = 0;
    EXPECT_EQ(CompGatePlugin::createInstance(hostCallback), nullptr);
    EXPECT_EQ(hostVersionQueries, 1);
    // No callback at all is refused too, instead of calling through a null pointer.
    EXPECT_EQ(CompGatePlugin::createInstance(nullptr), nullptr);
}

TEST(PluginEntryTest, RecordCarriesTheIdentity) {
    Instance instance;
    ASSERT_NE(instance.record, nullptr);
    const AEffect& r = *instance.record;
    EXPECT_EQ(r.magic, 0x56737450);
    EXPECT_EQ(r.numPrograms, 16);
    EXPECT_EQ(r.numParams, 17);
    EXPECT_EQ(r.numInputs, 2);
    EXPECT_EQ(r.numOutputs, 2);
    EXPECT_EQ(r.uniqueID, fourCharCode('Q', 'V', 'b', 'x'));
    EXPECT_EQ(r.flags, effFlagsHasEditor | effFlagsHasVu | effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_NE(instance.plugin().getEditor(), nullptr);
    EXPECT_EQ(r.object, &instance.plugin());
    EXPECT_EQ(instance.dispatch(effGetProgram), 0);
}

TEST(PluginEntryTest, DispatcherAnswersNamesVersionAndCategory) {
    Instance instance;
    EXPECT_EQ(instance.text(effGetEffectName), "VozuvAzirOVA");
    EXPECT_EQ(instance.text(effGetProductString), "VozuvAzirOVA");
    EXPECT_EQ(instance.text(effGetVendorString), "BroVane: coded by QuiVeRo");
    char buffer[64];
    EXPECT_EQ(instance.dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_EQ(instance.dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(instance.dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(instance.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(instance.dispatch(effGetVu), 0);
    EXPECT_EQ(instance.dispatch(effCanDo, 0, 0, const_cast<char*>("bypass")), 0);
}

TEST(PluginEntryTest, SampleRateFollowsTheHostButBlockSizeDoesNot) {
    Instance instance;
    CompGatePlugin& p = instance.plugin();
    // The peak hold belongs to the thread that runs the blocks: a block takes the rate at its start.
    const std::vector<float> in(16, 0.0f);
    std::vector<float> out(16);
    const auto block = [&] { instance.process(in.data(), in.data(), out.data(), out.data(), 16); };
    EXPECT_EQ(p.getSampleRate(), 44100.0f);
    EXPECT_EQ(instance.dispatch(effSetBlockSizeAndSampleRate, 0, 333, nullptr, 48000.0f), 1);
    EXPECT_EQ(p.getSampleRate(), 48000.0f);
    EXPECT_EQ(p.getBlockSize(), 1024);
    // Every time constant follows the new rate, those set before it included.
    const double seconds = (double(0.01f) + double(0.99f) * 0.1f) * double(150.0f) * double(0.001f);
    EXPECT_DOUBLE_EQ(p.chainSettings().attackCoefficient, 1.0 / (seconds * 48000.0));
    block();
    EXPECT_DOUBLE_EQ(p.lastBlockSettings().attackCoefficient, 1.0 / (seconds * 48000.0));
    EXPECT_EQ(p.getChainState().holdSamples, 960);
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(p.getSampleRate(), 96000.0f);
    block();
    EXPECT_EQ(p.getChainState().holdSamples, 1920);
    // A rate that is no rate is refused.
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    instance.dispatch(effSetBlockSizeAndSampleRate, 0, 64, nullptr, -48000.0f);
    EXPECT_EQ(p.getSampleRate(), 96000.0f);
    EXPECT_DOUBLE_EQ(p.chainSettings().attackCoefficient, 1.0 / (seconds * 96000.0));
    // Absurd rates keep the hold counter and the peak fall within range.
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 3.0e38f);
    block();
    EXPECT_EQ(p.getChainState().holdSamples, INT32_MAX);
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 10.0f);
    block();
    EXPECT_EQ(p.getChainState().holdSamples, 0);
    EXPECT_EQ(p.getChainState().peakReleaseCoefficient, 1.0);
}

TEST(PluginEntryTest, PluginForwardsEveryParameterToItsEditor) {
    Instance instance;
    auto* editor = attachRecordingEditor(instance.plugin());
    EXPECT_NE(instance.record->flags & effFlagsHasEditor, 0);
    instance.set(kMeterOutput, 0.3f);
    instance.set(kHpShelf, 0.25f);
    instance.set(-1, 0.5f);
    ASSERT_EQ(editor->received.size(), 3u);
    EXPECT_EQ(editor->received[0], std::make_pair(VstInt32(kMeterOutput), 0.3f));
    EXPECT_EQ(editor->received[1], std::make_pair(VstInt32(kHpShelf), 0.25f));
    EXPECT_EQ(editor->received[2], std::make_pair(VstInt32(-1), 0.5f));
    EXPECT_EQ(instance.get(kMeterOutput), 0.0f);
    // A program switch reaches the editor with all 14 values in index order.
    editor->received.clear();
    instance.dispatch(effSetProgram, 0, 3);
    ASSERT_EQ(editor->received.size(), 14u);
    for (VstInt32 i = 0; i < 14; ++i) EXPECT_EQ(editor->received[i].first, i);
}

// The built library exports `main` under that very name, and `VSTPluginMain` as the same function, and it
// creates working instances.
TEST(PluginEntryTest, LibraryExportsMain) {
    void* library = dlopen(VOZUV_BINARY_DIR "/VozuvAzirOVA.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using MainEntry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<MainEntry>(dlsym(library, "main"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(dlsym(library, "VSTPluginMain"), reinterpret_cast<void*>(entry));
    EXPECT_EQ(dlsym(library, "vozuvPluginMain"), nullptr);
    AEffect* record = entry(hostCallback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->magic, 0x56737450);
    EXPECT_EQ(record->uniqueID, fourCharCode('Q', 'V', 'b', 'x'));
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    hostVersionAnswer = 0;
    EXPECT_EQ(entry(hostCallback), nullptr);
    hostVersionAnswer = 2400;
    dlclose(library);
}

// The record's one block entry is a wall: an editor that throws while it takes the meters loses the
// meters of that block, never the block's audio or the host's thread.
TEST(PluginEntryTest, ABlockSurvivesAnEditorThatThrows) {
    struct ThrowingEditor : GuiEditor {
        explicit ThrowingEditor(EffectBase* effect) : GuiEditor(effect) {}
        void setParameters(VstInt32, const float*, int32_t) override { throw std::bad_alloc(); }
    };
    Instance instance;
    delete instance.plugin().getEditor();
    new ThrowingEditor(&instance.plugin());  // enters itself; owned by the effect
    const std::vector<float> in(32, 0.25f);
    std::vector<float> outL(32, -1.0f), outR(32, -1.0f);
    instance.process(in.data(), in.data(), outL.data(), outR.data(), 32);
    EXPECT_EQ(outL, outR);
    EXPECT_GT(outL[31], 0.0f);
}
