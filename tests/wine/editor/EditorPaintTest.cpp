// EditorPaintTest: the editor opens inside the host's window and its first paint shows panel, knob frames, meters.
#include <cstring>

#include "tests/wine/editor/HostedEditorFixture.h"

namespace {

using EditorPaintTest = HostedEditorFixture;

struct Box {
    int left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Every control's area: outside them the window shows the panel bitmap unchanged.
std::vector<Box> controlBoxes() {
    std::vector<Box> boxes;
    for (const auto& k : layout::knobs) {
        boxes.push_back({k.left, layout::knobTop, k.left + layout::knobWidth, layout::knobTop + layout::knobHeight});
    }
    for (const auto& r : layout::readouts) {
        boxes.push_back(
            {r.left, layout::readoutTop, r.left + layout::readoutWidth, layout::readoutTop + layout::readoutHeight});
    }
    for (int left : {layout::inputMeterLeft, layout::outputMeterLeft, layout::reductionMeterLeft}) {
        boxes.push_back({left, layout::meterTop, left + layout::meterWidth, layout::meterTop + layout::meterHeight});
    }
    return boxes;
}

TEST_F(EditorPaintTest, OpensOneChildWindowOfItsClassFillingTheHostWindow) {
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, layout::height);
    EXPECT_EQ(rect->right, layout::width);

    const char* name = binary.className.c_str();
    ASSERT_EQ(std::strlen(name), 14u);
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(binary.module, name, &info)) << "class registered before any window";

    host->dispatch(effEditOpen, 0, 0, parent);
    editorOpen = true;
    HWND child = FindWindowExA(parent, nullptr, name, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(editorChildCount(), 1);
    EXPECT_EQ(GetParent(child), parent);
    char registered[64] = {};
    GetClassNameA(child, registered, sizeof registered);
    EXPECT_STREQ(registered, name);  // FindWindowEx ignores case; the name has lower-case hex digits
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT outer{}, inner{};
    GetWindowRect(parent, &outer);
    GetWindowRect(child, &inner);
    EXPECT_EQ(inner.left, outer.left);
    EXPECT_EQ(inner.top, outer.top);
    EXPECT_EQ(inner.right - inner.left, layout::width);
    EXPECT_EQ(inner.bottom - inner.top, layout::height);
    ASSERT_TRUE(GetClassInfoA(binary.module, name, &info));
    EXPECT_TRUE(info.style & CS_GLOBALCLASS);

    // A host idles its editors all the time; the window stays and keeps its size.
    for (int i = 0; i < 20; ++i) {
        idle();
        Sleep(5);
    }
    EXPECT_TRUE(IsWindow(child));
    EXPECT_EQ(editorChildCount(), 1);
}

TEST_F(EditorPaintTest, FirstPaintShowsPanelKnobFramesAndMeters) {
    // Values on every kind of frame: first, last, between.
    host->setParameter(1, 0.8f);
    host->setParameter(9, 0.45f);
    ASSERT_NO_FATAL_FAILURE(openEditor());
    ScreenImage shot = capture();
    ASSERT_EQ(shot.width(), layout::width);
    ASSERT_EQ(shot.height(), layout::height);

    for (const auto& k : layout::knobs) {
        EXPECT_EQ(knobDiffers(shot, k.parameter, host->getParameter(k.parameter)), "") << "knob " << k.parameter;
    }

    const std::vector<Box> boxes = controlBoxes();
    int panelMismatches = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < layout::height; ++y) {
        for (int x = 0; x < layout::width; ++x) {
            bool covered = false;
            for (const Box& b : boxes) covered = covered || b.contains(x, y);
            if (!covered && shot.at(x, y) != binary.panel.at(x, y) && panelMismatches++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    EXPECT_EQ(panelMismatches, 0) << "panel differs first at (" << firstX << "," << firstY << ")";

    // Gain factor 1.0: no segment of the reduction meter lit. The level meters start high and fall.
    EXPECT_EQ(meterShows(shot, layout::reductionMeterLeft, binary.greenUnlit, binary.greenLit), 12);
    const int inputAtFirstPaint = meterShows(shot, layout::inputMeterLeft, binary.meterLit, binary.meterUnlit);
    EXPECT_GE(inputAtFirstPaint, 1);
    EXPECT_LE(inputAtFirstPaint, 11);

    // Read-outs print their texts over the bar.
    const ScreenImage bareBar = binary.bar.crop(1, 0, layout::readoutWidth - 2, layout::readoutHeight);
    EXPECT_FALSE(readout(shot, 1) == bareBar) << "no text drawn on the InputGain read-out";
    EXPECT_FALSE(readout(shot, 8) == readout(shot, 10));  // "1:3" and "300"

    idle(12);
    shot = capture();
    EXPECT_EQ(meterShows(shot, layout::inputMeterLeft, binary.meterLit, binary.meterUnlit), 0);
    EXPECT_EQ(meterShows(shot, layout::outputMeterLeft, binary.meterLit, binary.meterUnlit), 0);
    EXPECT_EQ(meterShows(shot, layout::reductionMeterLeft, binary.greenUnlit, binary.greenLit), 12);
    for (const auto& k : layout::knobs) {
        EXPECT_EQ(knobDiffers(shot, k.parameter, host->getParameter(k.parameter)), "") << "knob " << k.parameter;
    }
}

}  // namespace
