// Fields the audio thread reads while the host's user-interface thread writes them (checked by the tsan
// flavour).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/EditorBase.h"
#include "framework/EffectBaseExt.h"

namespace {

// Reads the shared fields on every block, as an effect's signal chain does, and asks for an editor update.
class ReadingEffect : public EffectBaseExt {
  public:
    ReadingEffect() : EffectBaseExt(nullptr, 4, 1) {}
    void process(float**, float**, VstInt32) override {}
    void processReplacing(float**, float**, VstInt32) override {
        sum += getSampleRate() + static_cast<float>(getBlockSize() + getProgram());
        if (editor) editor->requestUpdate();
    }
    float sum = 0;
};

TEST(SharedFieldsTest, AudioAndUserInterfaceThreadsShareRateSizeProgramAndUpdateFlag) {
    auto* effect = new ReadingEffect;
    auto* editor = new EditorBase(effect);
    effect->setEditor(editor);
    AEffect* record = effect->getAeffect();
    std::atomic<bool> running{true};
    std::thread audio([&] {
        while (running.load()) record->processReplacing(record, nullptr, nullptr, 64);
    });
    for (int i = 0; i < 2000; ++i) {
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f + i);
        record->dispatcher(record, effSetBlockSize, 0, 64 + i, nullptr, 0);
        record->dispatcher(record, effSetProgram, 0, i % 4, nullptr, 0);
        record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);
    }
    running = false;
    audio.join();
    EXPECT_EQ(effect->getSampleRate(), 44100.0f + 1999);
    EXPECT_EQ(effect->getProgram(), 1999 % 4);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0);
}

}  // namespace
