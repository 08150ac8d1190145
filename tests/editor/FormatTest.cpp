// The read-outs show what the host's display and label show, at every sample rate, within their 51 pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effect/CompGateParameters.h"
#include "gui/platform/cairo/HeadlessFont.h"
#include "tests/editor/EditorRig.h"

namespace {

const VstInt32 shown[] = {kInputGain, kLpShelf, kHpShelf, kCompThreshold, kCompRatio, kCompAttack, kCompRelease,
                          kCompMakeup};

std::string hostLine(EditorRig& rig, VstInt32 index) {
    char number[256] = "", label[256] = "";
    rig.dispatch(effGetParamDisplay, index, 0, number);
    rig.dispatch(effGetParamLabel, index, 0, label);
    return label[0] ? std::string(number) + " " + label : std::string(number);
}

std::string readoutLine(EditorRig& rig, VstInt32 index) {
    char text[256];
    rig.editor->getReadoutText(index, text);
    return text;
}

TEST(FormatTest, ReadoutsAgreeWithTheHostDisplayAndLabel) {
    EditorRig rig;
    rig.openAndPaint();
    // Defaults: filters off, no gain, threshold 0 dB, ratio 3.9, 16.35 ms attack, 312 ms release.
    EXPECT_EQ(readoutLine(rig, kInputGain), "0.0 dB");
    EXPECT_EQ(readoutLine(rig, kLpShelf), "off");
    EXPECT_EQ(readoutLine(rig, kHpShelf), "off");
    EXPECT_EQ(readoutLine(rig, kCompRatio), "3.9:1");
    EXPECT_EQ(readoutLine(rig, kCompAttack), "16.4 ms");
    EXPECT_EQ(readoutLine(rig, kCompRelease), "312 ms");
    const float rates[] = {22050.0f, 44100.0f, 192000.0f};
    const float values[] = {0.0f, 0.013f, 0.1f, 0.25f, 0.5f, 0.77f, 0.999f, 1.0f};
    for (float rate : rates) {
        rig.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        for (float value : values) {
            for (VstInt32 index : shown) {
                rig.plugin->setParameter(index, value);
                EXPECT_EQ(readoutLine(rig, index), hostLine(rig, index)) << index << " at " << value << ", " << rate;
            }
        }
    }
}

// The pixels of a read-out, to see whether it was drawn again with another text.
std::vector<uint32_t> readoutPixels(EditorRig& rig, int32_t left) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 83; y < 92; ++y) {
        for (int32_t x = left; x < left + 51; ++x) pixels.push_back(rgbOf(rig.child()->pixel(x, y)));
    }
    return pixels;
}

// The corner moves with the rate while the value stays: the next idle pass draws the new text.
TEST(FormatTest, ReadoutsShowANewRateAtTheNextIdle) {
    EditorRig rig;
    rig.plugin->setParameter(kHpShelf, 0.25f);
    rig.openAndPaint();
    rig.idle();
    const std::vector<uint32_t> at44 = readoutPixels(rig, 202);
    rig.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(readoutLine(rig, kHpShelf), "1.91 kHz");
    rig.idle();
    EXPECT_NE(readoutPixels(rig, 202), at44);
}

TEST(FormatTest, EveryTextFitsTheReadout) {
    EditorRig rig;
    rig.openAndPaint();
    const HeadlessFont font(fontTable[6].face, fontTable[6].defaultSize, false, false, false,
                            fontTable[6].pitchAndFamily);
    for (float rate : {22050.0f, 192000.0f}) {
        rig.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        for (VstInt32 index : shown) {
            for (int step = 0; step <= 100; ++step) {
                rig.plugin->setParameter(index, step / 100.0f);
                const std::string line = readoutLine(rig, index);
                EXPECT_LE(font.textWidth(line.c_str()), 49) << line;
            }
        }
    }
}

}  // namespace
