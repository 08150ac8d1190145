// Fields the audio thread reads while the host's user-interface thread writes them: every value read is
// one the host set (any build), and no access is a data race (the tsan flavour).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/EditorBase.h"
#include "framework/EffectBaseExt.h"

namespace {

constexpr int kChanges = 2000;

// Reads the shared fields on every block, as an effect's signal chain does, and asks for an editor update.
// Counts the reads that yield a value the host never set.
class ReadingEffect : public EffectBaseExt {
  public:
    ReadingEffect() : EffectBaseExt(nullptr, 4, 1) {}
    void process(float**, float**, VstInt32) override {}
    void processReplacing(float**, float**, VstInt32) override {
        const float rate = getSampleRate();
        const VstInt32 size = getBlockSize(), program = getProgram();
        const bool rateSet = rate >= 44100.0f && rate <= 44100.0f + kChanges && rate == static_cast<int>(rate);
        if (!rateSet || size < 64 || size >= 64 + kChanges || program < 0 || program >= 4) strangeReads++;
        blocks++;
        if (editor) editor->requestUpdate();
    }
    std::atomic<int> blocks{0};
    std::atomic<int> strangeReads{0};
};

TEST(SharedFieldsTest, AudioAndUserInterfaceThreadsShareRateSizeProgramAndUpdateFlag) {
    auto* effect = new ReadingEffect;
    auto* editor = new EditorBase(effect);
    effect->setEditor(editor);
    AEffect* record = effect->getAeffect();
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    record->dispatcher(record, effSetBlockSize, 0, 64, nullptr, 0);
    std::atomic<bool> running{true};
    std::thread audio([&] {
        while (running.load()) record->processReplacing(record, nullptr, nullptr, 64);
    });
    // The changes below must overlap the audio thread's reads: wait (generously) until it runs.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (effect->blocks.load() == 0 && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
    for (int i = 0; i < kChanges; ++i) {
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f + i);
        record->dispatcher(record, effSetBlockSize, 0, 64 + i, nullptr, 0);
        record->dispatcher(record, effSetProgram, 0, i % 4, nullptr, 0);
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);
    }
    running = false;
    audio.join();
    EXPECT_GT(effect->blocks.load(), 0);
    EXPECT_EQ(effect->strangeReads.load(), 0);
    EXPECT_EQ(effect->getSampleRate(), 44100.0f + 1999);
    EXPECT_EQ(effect->getProgram(), 1999 % 4);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0);
}

}  // namespace
