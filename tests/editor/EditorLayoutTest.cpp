// The editor's window: its size before opening, the 19 controls with their places and settings, the first
// picture, and fresh controls on every opening.
#include <gtest/gtest.h>

#include "editor/CompGateFormats.h"
#include "tests/editor/EditorRig.h"

namespace {

struct Placement {
    const char* kind;
    VstInt32 parameter;
    UiRect bounds;
};

// The control table in child order.
const Placement layout[] = {
    {"knob", 1, {99, 39, 141, 76}},       {"knob", 2, {157, 39, 199, 76}},     {"knob", 3, {207, 39, 249, 76}},
    {"knob", 7, {423, 39, 465, 76}},      {"knob", 8, {473, 39, 515, 76}},     {"knob", 9, {523, 39, 565, 76}},
    {"knob", 10, {573, 39, 615, 76}},     {"knob", 11, {623, 39, 665, 76}},    {"meter", 14, {154, 12, 250, 18}},
    {"meter", 15, {570, 12, 666, 18}},    {"meter", 16, {421, 12, 517, 18}},   {"readout", 1, {94, 83, 145, 92}},
    {"readout", 2, {152, 83, 203, 92}},   {"readout", 3, {202, 83, 253, 92}},  {"readout", 7, {418, 83, 469, 92}},
    {"readout", 8, {468, 83, 519, 92}},   {"readout", 9, {518, 83, 569, 92}},  {"readout", 10, {568, 83, 619, 92}},
    {"readout", 11, {618, 83, 669, 92}},
};

bool sameRect(const UiRect& a, const UiRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(EditorLayoutTest, ThePluginCreatesItsEditorWithTheRectangleBeforeAnyOpen) {
    RecordingHost::instance().reset();
    CompGatePlugin* plugin = new CompGatePlugin(RecordingHost::callback);
    EXPECT_NE(dynamic_cast<CompGateEditor*>(plugin->getEditor()), nullptr);
    EXPECT_TRUE(plugin->getAeffect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 104);
    EXPECT_EQ(rect->right, 762);
    delete plugin;
}

TEST(EditorLayoutTest, OpenBuildsNineteenControlsInTableOrderWithTheirSettings) {
    EditorRig rig;
    rig.open();
    PluginWindow* window = rig.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(rig.editor->isEditorOpen());
    UiRect area;
    window->getBounds(area);
    EXPECT_TRUE(sameRect(area, {0, 0, 762, 104}));
    EXPECT_EQ(window->getBackground()->getResourceId(), 12);
    ASSERT_EQ(window->getChildCount(), 19);

    for (int i = 0; i < 19; ++i) {
        const Placement& p = layout[i];
        Widget* child = window->getChild(i);
        UiRect bounds;
        child->getBounds(bounds);
        EXPECT_TRUE(sameRect(bounds, p.bounds)) << "child " << i;
        const std::string kind = p.kind;
        if (kind == "knob") {
            auto* knob = dynamic_cast<FilmstripKnob*>(child);
            ASSERT_NE(knob, nullptr) << i;
            EXPECT_EQ(knob, rig.editor->getKnob(p.parameter));
            EXPECT_EQ(knob->getTag(), p.parameter);
            EXPECT_EQ(knob->getListener(), static_cast<ControlListener*>(rig.editor));
            EXPECT_EQ(knob->getFrameCount(), 65);
            EXPECT_EQ(knob->getFrameHeight(), 37);
            EXPECT_EQ(knob->getBackground()->getResourceId(), 13);
            EXPECT_EQ(knob->getValue(), rig.plugin->getParameter(p.parameter));
            EXPECT_EQ(knob->getDefaultValue(), 0.5f);
            EXPECT_FLOAT_EQ(knob->getWheelStep(), 0.1f);
            EXPECT_FLOAT_EQ(knob->getStartAngle(), 3.9269907f);
            EXPECT_FLOAT_EQ(knob->getRangeAngle(), -4.712389f);
        } else if (kind == "meter") {
            auto* meter = dynamic_cast<LevelMeter*>(child);
            ASSERT_NE(meter, nullptr) << i;
            EXPECT_EQ(meter->getSegmentCount(), 12);
            EXPECT_FLOAT_EQ(meter->getDecay(), 0.1f);
            EXPECT_EQ(meter->getValue(), p.parameter == 16 ? 1.0f : 0.0f);
        } else {
            auto* readout = dynamic_cast<ValueReadout*>(child);
            ASSERT_NE(readout, nullptr) << i;
            EXPECT_EQ(readout, rig.editor->getReadout(p.parameter));
            EXPECT_EQ(readout->getTag(), 0);
            EXPECT_EQ(readout->getListener(), nullptr);
            EXPECT_EQ(readout->getStyle(), 0);
            EXPECT_EQ(readout->getFontId(), 6);
            EXPECT_EQ(readout->getFontColour().rgb(), (UiColor{0, 0, 140, 0}.rgb()));
            EXPECT_EQ(readout->getBackColour().rgb(), colourWhite.rgb());
            EXPECT_EQ(readout->getFrameColour().rgb(), colourWhite.rgb());
            EXPECT_EQ(readout->getAlignment(), AlignCentre);
            EXPECT_TRUE(readout->isTextTransparent());
            EXPECT_EQ(readout->getBackground()->getResourceId(), 16);
            char shown[256];
            rig.editor->getReadoutText(p.parameter, shown);
            EXPECT_STRNE(shown, "") << "read-out of parameter " << p.parameter;
            EXPECT_EQ(readout->getValue(), rig.plugin->getParameter(p.parameter));
        }
    }
    EXPECT_EQ(rig.editor->getInputMeter(), window->getChild(8));
    EXPECT_EQ(rig.editor->getOutputMeter(), window->getChild(9));
    EXPECT_EQ(rig.editor->getReductionMeter(), window->getChild(10));
    EXPECT_EQ(rig.editor->getKnob(4), nullptr);
    EXPECT_EQ(rig.editor->getReadout(0), nullptr);
}

TEST(EditorLayoutTest, FirstPaintShowsEveryKnobFrameAndTheMeterStates) {
    const BmpImage strip = resourceImage(13), panel = resourceImage(12);
    const BmpImage lit = resourceImage(14), unlit = resourceImage(15), greenUnlit = resourceImage(25);
    ASSERT_TRUE(strip.error.empty() && panel.error.empty() && lit.error.empty() && greenUnlit.error.empty());
    EditorRig rig;
    rig.plugin->setParameter(9, 0.37f);  // a frame that no other knob shows
    rig.open();
    rig.child()->paint();
    HeadlessWindow* w = rig.child();
    for (int i = 0; i < 8; ++i) {
        const Placement& p = layout[i];
        EXPECT_EQ(mismatches(w, p.bounds, strip, 0, stripRowFor(rig.plugin->getParameter(p.parameter))), 0)
            << "knob of parameter " << p.parameter;
    }
    // Panel between the controls, e.g. the logo corner.
    EXPECT_EQ(mismatches(w, {0, 0, 90, 30}, panel, 0, 0), 0);
    // Input and output meters start from full scale: the first redraw shows 0.9, eleven lit segments.
    EXPECT_EQ(mismatches(w, {154, 12, 242, 18}, lit, 0, 0), 0);
    EXPECT_EQ(mismatches(w, {242, 12, 250, 18}, unlit, 88, 0), 0);
    EXPECT_EQ(mismatches(w, {570, 12, 658, 18}, lit, 0, 0), 0);
    // The reduction meter at 1.0 shows all twelve green segments unlit.
    EXPECT_EQ(mismatches(w, {421, 12, 517, 18}, greenUnlit, 0, 0), 0);
}

TEST(EditorLayoutTest, ReopeningBuildsFreshControlsWithTheEffectsCurrentValues) {
    EditorRig rig;
    const int windowsBefore = HeadlessWindow::liveWindowCount();
    rig.openAndPaint();
    EXPECT_EQ(HeadlessWindow::liveWindowCount(), windowsBefore + 1);
    rig.editor->getKnob(7)->setValue(0.123f);  // a value the effect never saw
    rig.close();
    EXPECT_FALSE(rig.editor->isEditorOpen());
    EXPECT_EQ(rig.window(), nullptr);
    EXPECT_EQ(rig.editor->getKnob(7), nullptr);
    EXPECT_EQ(HeadlessWindow::liveWindowCount(), windowsBefore);

    rig.plugin->setParameter(1, 0.2f);   // while closed
    rig.plugin->setParameter(8, 0.9f);   // limited by the effect to 0.33
    rig.open();
    ASSERT_EQ(rig.window()->getChildCount(), 19);
    EXPECT_EQ(rig.editor->getKnob(1)->getValue(), 0.2f);
    EXPECT_EQ(rig.editor->getReadout(1)->getValue(), 0.2f);
    EXPECT_FLOAT_EQ(rig.editor->getKnob(8)->getValue(), 0.33f);
    EXPECT_EQ(rig.editor->getKnob(7)->getValue(), 1.0f);
    EXPECT_EQ(rig.editor->getReductionMeter()->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(rig.editor->getInputMeter()->getPreviousValue(), 1.0f);  // meters start afresh
    EXPECT_EQ(rig.editor->getKnob(1)->getBackground()->getRetainCount(), 8);  // held by the eight knobs only
}

TEST(EditorLayoutTest, ClosingTheEffectWithTheEditorOpenLeavesNoWindow) {
    const int windowsBefore = HeadlessWindow::liveWindowCount();
    {
        EditorRig rig;
        rig.openAndPaint();
        EXPECT_EQ(HeadlessWindow::liveWindowCount(), windowsBefore + 2);  // host frame and the editor's child
        AEffect* record = rig.plugin->getAeffect();
        record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);  // destroys the instance
        rig.plugin = nullptr;
    }
    EXPECT_EQ(HeadlessWindow::liveWindowCount(), windowsBefore);
}

}  // namespace
