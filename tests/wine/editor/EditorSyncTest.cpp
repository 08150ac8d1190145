// EditorSyncTest: host automation, program changes and audio reach the knobs, read-outs and meters on screen.
#include <atomic>
#include <thread>
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class EditorSyncTest : public HostedEditorFixture {
protected:
    // Runs n frames of a constant level on both inputs through processReplacing.
    void process(float level, int frames) {
        std::vector<float> in(static_cast<size_t>(frames), level), outL(in.size()), outR(in.size());
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        host->processBlocks(inputs, outputs, 2, frames, 512);
    }
};

TEST_F(EditorSyncTest, HostAutomationFromAnotherThreadShowsAtTheNextIdle) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    const ScreenImage before = capture();

    // Hosts automate from their own threads; the editor only stores, the UI thread draws.
    std::thread([this] {
        host->setParameter(7, 0.3f);
        host->setParameter(1, 0.8f);
        host->setParameter(8, 0.9f);  // the effect keeps at most 0.33
    }).join();
    hostinput::pumpMessages();
    EXPECT_TRUE(capture() == before) << "drawn outside the idle pass";

    idle();
    const ScreenImage after = capture();
    EXPECT_EQ(knobDiffers(after, 7, 0.3f), "");
    EXPECT_EQ(knobDiffers(after, 1, 0.8f), "");
    EXPECT_FLOAT_EQ(host->getParameter(8), 0.33f);
    EXPECT_EQ(knobDiffers(after, 8, 0.33f), "") << "the knob must show the value the effect keeps";
    EXPECT_EQ(knobDiffers(after, 2, 1.0f), "");
    for (VstInt32 p : {1, 7, 8}) EXPECT_FALSE(readout(after, p) == readout(before, p)) << "read-out " << p;
    EXPECT_TRUE(readout(after, 2) == readout(before, 2));

    // What the idle pass drew is what a fresh editor paints for the same values.
    closeEditor();
    ASSERT_NO_FATAL_FAILURE(openEditor());
    const ScreenImage fresh = capture();
    for (VstInt32 p : {1, 7, 8}) {
        EXPECT_TRUE(readout(fresh, p) == readout(after, p)) << "read-out " << p;
        EXPECT_EQ(knobDiffers(fresh, p, host->getParameter(p)), "") << "knob " << p;
    }
}

TEST_F(EditorSyncTest, ProgramChangeMovesEveryKnobAndReadoutAtTheNextIdle) {
    // Program 1 gets values of its own (all clear of frame edges and of the effect's limits).
    const int* parameters = layout::kControlledParameters;
    const float programOne[] = {0.8f, 0.3f, 0.6f, 0.45f, 0.27f, 0.7f, 0.15f, 0.65f};
    host->setProgram(1);
    for (int i = 0; i < 8; ++i) host->setParameter(parameters[i], programOne[i]);
    host->setProgram(0);

    ASSERT_NO_FATAL_FAILURE(openEditor());
    const ScreenImage programZero = capture();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(knobDiffers(programZero, parameters[i], host->getParameter(parameters[i])), "")
            << "knob " << parameters[i];
    }

    EXPECT_EQ(host->dispatch(effSetProgram, 0, 1), 0);
    idle();
    const ScreenImage switched = capture();
    for (int i = 0; i < 8; ++i) {
        const VstInt32 p = parameters[i];
        EXPECT_EQ(knobDiffers(switched, p, programOne[i]), "") << "knob " << p;
        EXPECT_FALSE(readout(switched, p) == readout(programZero, p)) << "read-out " << p;
    }

    closeEditor();
    ASSERT_NO_FATAL_FAILURE(openEditor());
    const ScreenImage fresh = capture();
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(readout(fresh, parameters[i]) == readout(switched, parameters[i]))
            << "read-out " << parameters[i];
    }

    host->dispatch(effSetProgram, 0, 0);
    idle();
    const ScreenImage back = capture();
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(back.crop(layout::kKnobLeft(parameters[i]), layout::kKnobTop, layout::kKnobWidth, layout::kKnobHeight) ==
                    programZero.crop(layout::kKnobLeft(parameters[i]), layout::kKnobTop, layout::kKnobWidth, layout::kKnobHeight))
            << "knob " << parameters[i];
        EXPECT_TRUE(readout(back, parameters[i]) == readout(programZero, parameters[i]))
            << "read-out " << parameters[i];
    }
}

TEST_F(EditorSyncTest, AudioOnTheAudioThreadDrivesTheMeters) {
    ASSERT_NO_FATAL_FAILURE(openEditor());
    idle(12);  // the level meters have fallen from their start

    // 0.6 on both inputs, threshold 0 dB: detector peak 0.6, no gain reduction, 0.6 out: 7 of 12 segments.
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        for (int block = 0; block < 4000 && !stop.load(); ++block) process(0.6f, 512);
    });
    int input = -1, output = -1;
    const bool settled = hostinput::waitFor(
        [&] {
            idle();
            const ScreenImage shot = capture();
            input = meterShows(shot, layout::kInputMeterLeft, binary.meterLit, binary.meterUnlit);
            output = meterShows(shot, layout::kOutputMeterLeft, binary.meterLit, binary.meterUnlit);
            return input == 7 && output == 7;
        },
        10000);
    stop.store(true);
    audio.join();
    EXPECT_TRUE(settled) << "input meter " << input << ", output meter " << output << " segments";
    EXPECT_EQ(meterShows(capture(), layout::kReductionMeterLeft, binary.greenUnlit, binary.greenLit), 12);

    // Threshold -60 dB: about 41 dB of gain reduction lights every green segment; the output all but vanishes.
    host->setParameter(7, 0.0f);
    std::thread([&] { process(0.6f, 44100); }).join();
    idle(12);
    ScreenImage shot = capture();
    EXPECT_EQ(meterShows(shot, layout::kReductionMeterLeft, binary.greenUnlit, binary.greenLit), 0);
    EXPECT_EQ(meterShows(shot, layout::kInputMeterLeft, binary.meterLit, binary.meterUnlit), 7);
    EXPECT_EQ(meterShows(shot, layout::kOutputMeterLeft, binary.meterLit, binary.meterUnlit), 0);

    // Silence: the input meter falls back to nothing within its ten decay steps.
    std::thread([&] { process(0.0f, 2048); }).join();
    idle(12);
    shot = capture();
    EXPECT_EQ(meterShows(shot, layout::kInputMeterLeft, binary.meterLit, binary.meterUnlit), 0);
}

}  // namespace
