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
    for (const int p : layout::kControlledParameters) {
        const int k = layout::kKnobLeft(p), r = layout::kReadoutLeft(p);
        boxes.push_back({k, layout::kKnobTop, k + layout::kKnobWidth, layout::kKnobTop + layout::kKnobHeight});
        boxes.push_back(
            {r, layout::kReadoutTop, r + layout::kReadoutWidth, layout::kReadoutTop + layout::kReadoutHeight});
    }
    for (int left : {layout::kInputMeterLeft, layout::kOutputMeterLeft, layout::kReductionMeterLeft}) {
        boxes.push_back({left, layout::kMeterTop, left + layout::kMeterWidth, layout::kMeterTop + layout::kMeterHeight});
    }
    return boxes;
}

TEST_F(EditorPaintTest, OpensOneChildWindowOfItsClassFillingTheHostWindow) {
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, layout::kPanelHeight);
    EXPECT_EQ(rect->right, layout::kPanelWidth);

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
    EXPECT_EQ(inner.right - inner.left, layout::kPanelWidth);
    EXPECT_EQ(inner.bottom - inner.top, layout::kPanelHeight);
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
    ASSERT_EQ(shot.width(), layout::kPanelWidth);
    ASSERT_EQ(shot.height(), layout::kPanelHeight);

    for (const int p : layout::kControlledParameters) {
        EXPECT_EQ(knobDiffers(shot, p, host->getParameter(p)), "") << "knob " << p;
    }

    const std::vector<Box> boxes = controlBoxes();
    int panelMismatches = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < layout::kPanelHeight; ++y) {
        for (int x = 0; x < layout::kPanelWidth; ++x) {
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
    EXPECT_EQ(meterShows(shot, layout::kReductionMeterLeft, binary.greenUnlit, binary.greenLit), 12);
    const int inputAtFirstPaint = meterShows(shot, layout::kInputMeterLeft, binary.meterLit, binary.meterUnlit);
    EXPECT_GE(inputAtFirstPaint, 1);
    EXPECT_LE(inputAtFirstPaint, 11);

    // Read-outs print their texts over the bar.
    const ScreenImage bareBar = binary.bar.crop(1, 0, layout::kReadoutWidth - 2, layout::kReadoutHeight);
    EXPECT_FALSE(readout(shot, 1) == bareBar) << "no text drawn on the InputGain read-out";
    EXPECT_FALSE(readout(shot, 8) == readout(shot, 10));  // "3.9:1" and "312 ms"

    idle(12);
    shot = capture();
    EXPECT_EQ(meterShows(shot, layout::kInputMeterLeft, binary.meterLit, binary.meterUnlit), 0);
    EXPECT_EQ(meterShows(shot, layout::kOutputMeterLeft, binary.meterLit, binary.meterUnlit), 0);
    EXPECT_EQ(meterShows(shot, layout::kReductionMeterLeft, binary.greenUnlit, binary.greenLit), 12);
    for (const int p : layout::kControlledParameters) {
        EXPECT_EQ(knobDiffers(shot, p, host->getParameter(p)), "") << "knob " << p;
    }
}

}  // namespace
