// PluginRecordTest: the record, identity and host requests of the DLL as a host sees them.
#include <cmath>
#include <cstring>
#include <vector>

#include "tests/wine/plugin/PluginFixture.h"

namespace {

TEST_F(PluginFixture, RecordCarriesTheIdentityHostsReadBeforeAnyCall) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->uniqueID, fourCharCode('Q', 'V', 'b', 'x'));
    EXPECT_EQ(effect->numParams, 17);
    EXPECT_EQ(effect->numPrograms, 16);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->version, 1);
    EXPECT_FLOAT_EQ(effect->ioRatio, 1.0f);
    // has VU, can mono, can replacing; has editor once the editor is part of the build.
    EXPECT_EQ(effect->flags & ~effFlagsHasEditor, 0x1C);
    EXPECT_NE(effect->processReplacing, nullptr);
    const char zeros[sizeof effect->future] = {};
    EXPECT_EQ(std::memcmp(effect->future, zeros, sizeof zeros), 0);
}

TEST_F(PluginFixture, DispatcherAnswersTheIdentityOpcodes) {
    EXPECT_EQ(host->dispatchText(effGetEffectName), "VozuvAzirOVA");
    EXPECT_EQ(host->dispatchText(effGetProductString), "VozuvAzirOVA");
    EXPECT_EQ(host->dispatchText(effGetVendorString), "BroVane: coded by QuiVeRo");
    EXPECT_EQ(host->dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(host->dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(host->dispatch(effGetVstVersion), 2300);
    EXPECT_EQ(host->dispatch(effIdentify), fourCharCode('N', 'v', 'E', 'f'));
    EXPECT_EQ(host->dispatch(effKeysRequired), 1);
    EXPECT_EQ(host->dispatch(effCanBeAutomated, 7), 1);
    EXPECT_EQ(host->dispatch(effGetVu), 0);
    EXPECT_EQ(host->dispatch(77), 0);
    EXPECT_EQ(host->dispatch(-1), 0);
    char bypass[] = "bypass";
    EXPECT_EQ(host->dispatch(effCanDo, 0, 0, bypass), 0);
}

TEST_F(PluginFixture, EditorFlagMatchesWhatTheEditorOpcodesAnswer) {
    ERect* rect = nullptr;
    const VstIntPtr answer = host->dispatch(effEditGetRect, 0, 0, &rect);
    if (effect->flags & effFlagsHasEditor) {
        ASSERT_EQ(answer, 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 762);
        EXPECT_EQ(rect->bottom - rect->top, 104);
    } else {
        EXPECT_EQ(answer, 0);
    }
}

TEST_F(PluginFixture, CreationAsksTheHostItsVersionOnlyWithoutARecord) {
    const std::vector<HostRequest> requests = host->requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].opcode, audioMasterVersion);
    EXPECT_EQ(requests[0].effect, nullptr);
    EXPECT_EQ(requests[0].thread, PluginHost::currentThreadId());
    EXPECT_EQ(requests[0].answer, 2400);
    for (const HostRequest& r : requests) EXPECT_NE(r.opcode, audioMasterAutomate);
}

TEST_F(PluginFixture, HostWithoutTheInterfaceVersionGetsNoInstance) {
    HostConfig refusing;
    refusing.version = 0;
    std::unique_ptr<PluginHost> other = makeHost(refusing);
    EXPECT_FALSE(other->instantiate(library.entry()));
    EXPECT_EQ(other->effect(), nullptr);
    ASSERT_EQ(other->requests().size(), 1u);
    EXPECT_EQ(other->requests()[0].opcode, audioMasterVersion);
    // The library still serves other hosts.
    std::unique_ptr<PluginHost> third = makeHost(HostConfig{});
    EXPECT_TRUE(third->instantiate(library.entry()));
}

TEST_F(PluginFixture, TwoInstancesKeepTheirOwnStateAndClose) {
    std::unique_ptr<PluginHost> other = makeHost(HostConfig{});
    ASSERT_TRUE(other->instantiate(library.entry()));
    ASSERT_NE(other->effect(), effect);
    other->setParameter(7, 0.25f);
    EXPECT_FLOAT_EQ(other->getParameter(7), 0.25f);
    EXPECT_FLOAT_EQ(host->getParameter(7), 1.0f);
    other->close();
    EXPECT_EQ(other->effect(), nullptr);
    EXPECT_FLOAT_EQ(host->getParameter(7), 1.0f);
}

TEST_F(PluginFixture, DefaultProgramPassesAudioUnchanged) {
    // Threshold 0 dB, input gain and make-up 0 dB: a signal below full scale comes out as it went in.
    host->setSampleRate(48000.0f);
    host->setBlockSize(256);
    host->setMains(true);
    std::vector<float> left(1000), right(1000), outLeft(1000, 9.0f), outRight(1000, 9.0f);
    for (int i = 0; i < 1000; ++i) {
        left[i] = 0.5f * static_cast<float>(std::sin(i * 0.05));
        right[i] = -0.25f * static_cast<float>(std::cos(i * 0.031));
    }
    const float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    host->processBlocks(in, out, 2, 1000, 256);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NEAR(outLeft[i], left[i], 1e-6) << "frame " << i;
        ASSERT_NEAR(outRight[i], right[i], 1e-6) << "frame " << i;
    }
}

}  // namespace
