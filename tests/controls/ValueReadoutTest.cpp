// Value read-out: where its text comes from, its box styles, and which setters make it dirty.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui/controls/ValueReadout.h"
#include "gui/core/Pixmap.h"
#include "tests/controls/ControlHarness.h"

namespace {

const UiColor red{255, 0, 0, 0};
const UiColor blue{0, 0, 255, 0};

// Pixels of an area as one comparable list.
std::vector<uint32_t> grab(HeadlessWindow* window, const UiRect& area) {
    std::vector<uint32_t> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) pixels.push_back(rgbOf(window->pixel(x, y)));
    return pixels;
}

int count(HeadlessWindow* window, const UiRect& area, uint32_t rgb) {
    int n = 0;
    for (uint32_t p : grab(window, area)) n += p == rgb;
    return n;
}

std::string lastText;
float lastValue = -1.0f;
void* lastData = nullptr;
int plainCalls = 0;
void fixedText(float, char* text) { std::strcpy(text, "0.50"); }
void otherText(float, char* text) { std::strcpy(text, "0.58"); }
void plainConverter(float value, char* text) {
    ++plainCalls;
    lastValue = value;
    std::strcpy(text, "plain");
}
void dataConverter(float value, char* text, void* data) {
    lastValue = value;
    lastData = data;
    std::strcpy(text, "data");
    lastText = text;
}

// Three read-outs side by side in one window, drawn at the first paint.
struct ReadoutRig {
    ReadoutRig() : harness(UiRect{0, 0, 200, 40}) {}
    ValueReadout* add(const UiRect& bounds, int32_t style = 0) {
        ValueReadout* readout = new ValueReadout(bounds, nullptr, style);
        harness.window->addChild(readout);
        return readout;
    }
    EditorHarness harness;
};

TEST(ValueReadoutTest, DefaultTextIsTheValueWithTwoDecimals) {
    ReadoutRig rig;
    const UiRect a{0, 0, 60, 20}, b{70, 0, 130, 20}, c{140, 0, 200, 20};
    rig.add(a)->setValue(0.5f);
    rig.add(b)->setConverter(fixedText);
    rig.add(c)->setConverter(otherText);
    rig.harness.child()->paint();
    // Same box size, so equal texts give equal pixel lists.
    EXPECT_EQ(grab(rig.harness.child(), a), grab(rig.harness.child(), b));
    EXPECT_NE(grab(rig.harness.child(), a), grab(rig.harness.child(), c));
    EXPECT_GT(count(rig.harness.child(), a, 0xFFFFFF), 0);  // white text on the black box
}

TEST(ValueReadoutTest, ConverterWithDataTakesPrecedence) {
    ReadoutRig rig;
    ValueReadout* readout = rig.add({0, 0, 60, 20});
    int data = 7;
    readout->setConverter(plainConverter);
    readout->setConverterWithData(dataConverter, &data);
    readout->setValue(0.25f);
    plainCalls = 0;
    rig.harness.child()->paint();
    EXPECT_EQ(plainCalls, 0);
    EXPECT_EQ(lastData, &data);
    EXPECT_EQ(lastValue, 0.25f);
    EXPECT_EQ(lastText, "data");
    EXPECT_FALSE(readout->isDirty());
}

TEST(ValueReadoutTest, SettersMarkDirtyOnlyForVisibleChanges) {
    ValueReadout* readout = new ValueReadout({0, 0, 10, 10}, nullptr, Readout3DIn);
    readout->setDirty(false);
    readout->setFontColour(UiColor{255, 255, 255, 99});  // only the fourth byte differs
    EXPECT_FALSE(readout->isDirty());
    EXPECT_EQ(readout->getFontColour().alpha, 99);       // but it is stored
    readout->setStyle(Readout3DIn);
    readout->setFontId(3);
    readout->setAlignment(AlignCentre);
    readout->setFontStyle(0);
    readout->setBackColour(UiColor{0, 0, 0, 5});
    readout->setConverter(otherText);
    readout->setTextTransparent(false);
    EXPECT_FALSE(readout->isDirty());

    readout->setFrameColour(UiColor{0, 0, 1, 0});
    EXPECT_TRUE(readout->isDirty());
    readout->setDirty(false);
    readout->setStyle(Readout3DOut);
    EXPECT_TRUE(readout->isDirty());
    readout->setDirty(false);
    readout->setShadowColour(blue);
    EXPECT_TRUE(readout->isDirty());
    readout->release();
}

TEST(ValueReadoutTest, NoDrawReadoutIsCleanAndNeverPaints) {
    ReadoutRig rig;
    ValueReadout* readout = rig.add({10, 10, 60, 30}, ReadoutNoDraw);
    EXPECT_FALSE(readout->isDirty());
    readout->setValue(0.7f);
    rig.harness.child()->paint();
    rig.harness.window->idle();
    EXPECT_EQ(count(rig.harness.child(), {10, 10, 61, 31}, HeadlessWindow::backgroundRgb), 51 * 21);
}

TEST(ValueReadoutTest, BoxAndThreeDimensionalFrames) {
    ReadoutRig rig;
    const int32_t noText = ReadoutNoText;
    ValueReadout* flat = rig.add({0, 0, 40, 20}, noText);
    ValueReadout* sunken = rig.add({60, 0, 100, 20}, noText | Readout3DIn);
    ValueReadout* raised = rig.add({120, 0, 160, 20}, noText | Readout3DOut);
    for (ValueReadout* r : {flat, sunken, raised}) {
        r->setBackColour(red);
        r->setFrameColour(blue);
    }
    rig.harness.child()->paint();
    HeadlessWindow* w = rig.harness.child();
    // Flat: filled with the back colour inside an outline in the frame colour.
    EXPECT_EQ(rgbOf(w->pixel(20, 10)), 0xFF0000u);
    EXPECT_EQ(rgbOf(w->pixel(20, 0)), 0x0000FFu);
    EXPECT_EQ(rgbOf(w->pixel(0, 10)), 0x0000FFu);
    // Sunken: top and left in the back colour, right and bottom in the frame colour.
    EXPECT_EQ(rgbOf(w->pixel(80, 0)), 0xFF0000u);
    EXPECT_EQ(rgbOf(w->pixel(60, 10)), 0xFF0000u);
    EXPECT_EQ(rgbOf(w->pixel(100, 10)), 0x0000FFu);
    EXPECT_EQ(rgbOf(w->pixel(80, 20)), 0x0000FFu);
    EXPECT_EQ(rgbOf(w->pixel(80, 10)), 0xFF0000u);
    // Raised: the other way round.
    EXPECT_EQ(rgbOf(w->pixel(140, 0)), 0x0000FFu);
    EXPECT_EQ(rgbOf(w->pixel(120, 10)), 0x0000FFu);
    EXPECT_EQ(rgbOf(w->pixel(160, 10)), 0xFF0000u);
    EXPECT_EQ(rgbOf(w->pixel(140, 20)), 0xFF0000u);
}

TEST(ValueReadoutTest, ShadowTextIsDrawnInTheShadowColour) {
    ReadoutRig rig;
    const UiRect plainArea{0, 0, 60, 20}, shadowArea{80, 0, 140, 20};
    ValueReadout* plain = rig.add(plainArea);
    ValueReadout* shadowed = rig.add(shadowArea, ReadoutShadowText);
    for (ValueReadout* r : {plain, shadowed}) {
        r->setValue(8.88f);
        r->setFontId(1);
    }
    rig.harness.child()->paint();
    EXPECT_EQ(count(rig.harness.child(), plainArea, 0xFF0000), 0);
    EXPECT_GT(count(rig.harness.child(), shadowArea, 0xFF0000), 0);
    EXPECT_GT(count(rig.harness.child(), shadowArea, 0xFFFFFF), 0);
}

TEST(ValueReadoutTest, BackgroundPixmapIsDrawnOpaqueFromTheOffset) {
    const BmpImage bar = resourceImage(16);
    ASSERT_TRUE(bar.error.empty());
    EditorHarness harness(UiRect{0, 0, 100, 30});
    Pixmap* pixmap = new Pixmap(16);
    ValueReadout* readout = new ValueReadout({20, 10, 71, 19}, pixmap, ReadoutNoText);
    pixmap->release();
    harness.window->addChild(readout);
    harness.child()->paint();
    EXPECT_EQ(mismatches(harness.child(), {20, 10, 71, 19}, bar, 0, 0), 0);
}

}  // namespace
