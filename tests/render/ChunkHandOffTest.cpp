// ChunkHandOffTest: the renderer never refills a slot whose chunk is still being delivered, and finishes
// the file only after the last delivery. Deliveries are held up on purpose, so a renderer that does not
// wait is caught in the act on every run, however the threads are scheduled.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/render/RenderTestSupport.h"
#include "tools/render/AudioReader.h"
#include "tools/render/Renderer.h"

namespace {

// Halves the signal. The first and the last delivery wait in slot() until the renderer does what it must
// not do meanwhile (touch the same slot, or switch the plug-in off), or for a generous bound when it
// rightly waits for them.
class HeldDeliveryPlugin : public RenderPlugin {
  public:
    explicit HeldDeliveryPlugin(int chunks) : chunks(chunks) {}

    PluginInfo info() override { return PluginInfo{}; }
    void setSampleRate(float) override {}
    void setBlockSize(int) override {}
    void setMains(bool on) override {
        if (on) return;
        std::lock_guard<std::mutex> hold(lock);
        if (heldSlot >= 0) {
            violations.push_back("switched off while the last chunk was still being delivered");
            released = true;
            changed.notify_all();
        }
    }
    void setProgram(int) override {}
    void setParameter(int, float) override {}
    float getParameter(int) override { return 0.0f; }
    void process(const float* const* inputs, float* const* outputs, int frames, int) override {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i) outputs[c][i] = 0.5f * inputs[c][i];
    }
    std::string description() const override { return "held deliveries"; }

    AudioSlot slot(int index) override {
        std::unique_lock<std::mutex> hold(lock);
        if (std::this_thread::get_id() == renderer) {
            if (index == heldSlot) {
                violations.push_back("slot " + std::to_string(index) + " refilled during its delivery");
                released = true;
                changed.notify_all();
            }
        } else if (deliveries++ == 0 || deliveries == chunks) {
            heldSlot = index;
            released = false;
            changed.wait_for(hold, std::chrono::seconds(2), [&] { return released; });
            heldSlot = -1;
        }
        return RenderPlugin::slot(index);
    }

    const std::thread::id renderer = std::this_thread::get_id();
    const int chunks;
    std::mutex lock;
    std::condition_variable changed;
    int deliveries = 0;
    int heldSlot = -1;
    bool released = false;
    std::vector<std::string> violations;
};

TEST(ChunkHandOffTest, SlotsAreRefilledAndTheFileEndedOnlyAfterTheirDelivery) {
    const std::string dir = scratchDir();
    const int chunks = 6;  // more than the slots: the first ones are used again
    Audio input = makeSignal(44100, 2, double(chunks * Renderer::kChunkFrames - 100) / 44100.0);
    writeAudio(dir + "/in.wav", input);

    HeldDeliveryPlugin plugin(chunks);
    Renderer renderer(plugin, 256);
    AudioReader reader(dir + "/in.wav");
    const RenderResult result = renderer.render(reader, dir + "/out.wav", "", false);

    EXPECT_EQ(plugin.violations, std::vector<std::string>{});
    EXPECT_EQ(plugin.deliveries, chunks);
    EXPECT_EQ(result.frames, input.frames());
    const Audio output = readAudio(dir + "/out.wav");
    ASSERT_EQ(output.samples.size(), input.samples.size());
    for (size_t i = 0; i < input.samples.size(); ++i)
        ASSERT_EQ(output.samples[i], 0.5f * input.samples[i]) << i;
}

}  // namespace
