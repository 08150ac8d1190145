// Editor and effect in step: parameter and meter hand-offs, knob changes as automation, keys, and the
// audio thread running while the editor opens and closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/editor/EditorRig.h"

namespace {

using Requests = std::vector<std::pair<VstInt32, VstInt32>>;

TEST(EditorSyncTest, ClosedEditorIgnoresEverythingAndRequestsNoUpdate) {
    EditorRig rig;
    rig.idle();
    rig.editor->updates = 0;
    rig.editor->setParameter(14, 0.5f);
    rig.editor->setParameter(1, 0.5f);
    rig.idle();
    EXPECT_EQ(rig.editor->updates, 0);
}

TEST(EditorSyncTest, SetParameterMirrorsTheEffectsValueForEveryIndexClass) {
    EditorRig rig;
    rig.openAndPaint();
    CompGateEditor* editor = rig.editor;

    // A user parameter with controls: both show the effect's stored value, not the value sent.
    rig.plugin->CompGateEffect::setParameter(1, 0.2f);
    editor->setParameter(1, 0.9f);
    EXPECT_EQ(editor->getKnob(1)->getValue(), 0.2f);
    EXPECT_EQ(editor->getReadout(1)->getValue(), 0.2f);
    rig.idle();
    EXPECT_EQ(rig.editor->updates, 1);

    // Parameters without controls change nothing but still ask for an update.
    std::vector<float> before;
    for (int i = 0; i < 19; ++i) before.push_back(static_cast<ValueControl*>(rig.window()->getChild(i))->getValue());
    for (VstInt32 index : {0, 4, 5, 6, 12, 13, 17, -1}) {
        editor->setParameter(index, 0.7f);
        rig.idle();
    }
    EXPECT_EQ(rig.editor->updates, 9);
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(static_cast<ValueControl*>(rig.window()->getChild(i))->getValue(), before[i]) << i;

    // Meter channels carry the value itself.
    editor->setParameter(14, 0.25f);
    editor->setParameter(15, 0.125f);
    editor->setParameter(16, 0.5f);
    EXPECT_EQ(editor->getInputMeter()->getValue(), 0.25f);
    EXPECT_EQ(editor->getOutputMeter()->getValue(), 0.125f);
    EXPECT_EQ(editor->getReductionMeter()->getValue(), 0.5f);

    // Host automation through the plug-in reaches the controls and is drawn at the next idle.
    rig.plugin->setParameter(7, 0.5f);
    EXPECT_TRUE(editor->getKnob(7)->isDirty());
    rig.idle();
    EXPECT_FALSE(editor->getKnob(7)->isDirty());
    EXPECT_FALSE(editor->getReadout(7)->isDirty());
    const BmpImage strip = resourceImage(13);
    EXPECT_EQ(mismatches(rig.child(), {423, 39, 465, 76}, strip, 0, stripRowFor(0.5f)), 0);
}

TEST(EditorSyncTest, ReductionMeterLightsFromTheRight) {
    const BmpImage greenLit = resourceImage(24), greenUnlit = resourceImage(25);
    EditorRig rig;
    rig.openAndPaint();
    rig.plugin->setParameter(16, 0.5f);
    for (int i = 0; i < 10; ++i) rig.idle();
    EXPECT_EQ(mismatches(rig.child(), {421, 12, 469, 18}, greenUnlit, 0, 0), 0);
    EXPECT_EQ(mismatches(rig.child(), {469, 12, 517, 18}, greenLit, 48, 0), 0);
}

TEST(EditorSyncTest, ValueChangedSendsUserParametersOnlyAsAutomation) {
    EditorRig rig;
    rig.openAndPaint();
    FilmstripKnob* stray = new FilmstripKnob({0, 0, 42, 37}, rig.editor, 14, 65, 37, nullptr, {0, 0});
    stray->setValue(0.3f);
    rig.editor->valueChanged(nullptr, stray);
    stray->setTag(-1);
    rig.editor->valueChanged(nullptr, stray);
    EXPECT_TRUE(RecordingHost::instance().requests.empty());

    // Volume has no control but is a user parameter: it is stored and the host hears of it.
    stray->setTag(13);
    rig.editor->valueChanged(nullptr, stray);
    EXPECT_EQ(rig.plugin->getParameter(13), 0.3f);
    ASSERT_EQ(RecordingHost::instance().requests.size(), 1u);
    EXPECT_EQ(RecordingHost::instance().requests[0].opcode, audioMasterAutomate);
    EXPECT_EQ(RecordingHost::instance().requests[0].index, 13);
    EXPECT_EQ(RecordingHost::instance().requests[0].opt, 0.3f);
    stray->release();

    // With a surface the knob is drawn at once; without one it waits for the idle pass.
    FilmstripKnob* knob = rig.editor->getKnob(9);
    knob->setValue(0.6f);
    rig.editor->valueChanged(nullptr, knob);
    EXPECT_TRUE(knob->isDirty());
    knob->setValue(0.7f);
    DrawSurface surface(rig.window(), nullptr, nullptr);
    rig.editor->valueChanged(&surface, knob);
    EXPECT_FALSE(knob->isDirty());
    EXPECT_FLOAT_EQ(rig.plugin->getParameter(9), 0.7f);
}

TEST(EditorSyncTest, KnobDragIsBracketedAndAutomatedForItsTag) {
    EditorRig rig;
    rig.openAndPaint();
    // CompThreshold's knob (423, 39, 465, 76): from straight up (0.5) round to the right (0.8333).
    const UiPoint top{444, 42}, right{462, 60};
    const UiPoint origin = rig.child()->screenOrigin();
    ScriptedInput::instance()
        .press({origin.h + top.h, origin.v + top.v})
        .hold(3)
        .moveTo({origin.h + 455, origin.v + 45})
        .moveTo({origin.h + right.h, origin.v + right.v})
        .hold(30)
        .wait(200)
        .release();
    rig.child()->mouseDown(MouseLeft, top);

    const Requests seen = rig.requests({audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit});
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.front(), std::make_pair(VstInt32(audioMasterBeginEdit), VstInt32(7)));
    EXPECT_EQ(seen.back(), std::make_pair(VstInt32(audioMasterEndEdit), VstInt32(7)));
    for (size_t i = 1; i + 1 < seen.size(); ++i) EXPECT_EQ(seen[i], std::make_pair(VstInt32(audioMasterAutomate), VstInt32(7)));
    EXPECT_EQ(seen.size(), 5u);  // three positions, three values
    EXPECT_NEAR(rig.plugin->getParameter(7), 0.8333f, 0.01);
    EXPECT_EQ(rig.editor->getReadout(7)->getValue(), rig.plugin->getParameter(7));
    EXPECT_EQ(RecordingHost::instance().requests.back().opcode, audioMasterEndEdit);
    // The idle pass inside the loop redrew the read-out; the host got its idle calls.
    EXPECT_FALSE(rig.editor->getReadout(7)->isDirty());
    EXPECT_FALSE(rig.requests({audioMasterIdle}).empty());
}

TEST(EditorSyncTest, KnobCannotShowAValueTheEffectRefuses) {
    EditorRig rig;
    rig.openAndPaint();
    // CompRatio's knob (473, 39, 515, 76), dragged to the right: the effect keeps at most 0.33.
    scriptDrag(rig.child(), {{494, 42}, {512, 60}});
    EXPECT_FLOAT_EQ(rig.plugin->getParameter(8), 0.33f);
    EXPECT_FLOAT_EQ(rig.editor->getKnob(8)->getValue(), 0.33f);
}

TEST(EditorSyncTest, ArrowKeysGoToTheFocusKnobElseToTheLastKnob) {
    EditorRig rig;
    rig.openAndPaint();
    VstKeyCode up{0, VKEY_UP, 0};
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 0, VKEY_UP), 1);
    EXPECT_FLOAT_EQ(rig.plugin->getParameter(11), 0.6f);  // CompMakeup takes it
    EXPECT_TRUE(rig.editor->getKnob(11)->isDirty());
    rig.idle();
    EXPECT_FALSE(rig.editor->getKnob(11)->isDirty());

    // A Control-click does not take the focus; a drag does.
    scriptClick(rig.child(), {120, 42}, KeyControl);
    EXPECT_EQ(rig.window()->getFocusWidget(), nullptr);
    EXPECT_EQ(rig.plugin->getParameter(1), 0.5f);
    scriptClick(rig.child(), {120, 42});
    EXPECT_EQ(rig.window()->getFocusWidget(), rig.editor->getKnob(1));
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 0, VKEY_DOWN, nullptr, float(MODIFIER_SHIFT)), 1);
    EXPECT_NEAR(rig.plugin->getParameter(1), 0.49f, 0.011);
    EXPECT_EQ(rig.dispatch(effEditKeyDown, ' ', 7), -1);
    (void)up;
}

// A block whose loud part lies in its middle and whose last frame is silent lights the meters as far as
// that loud part reaches.
TEST(EditorSyncTest, AudioBlocksFeedTheMetersTheirLoudestPart) {
    EditorRig rig;
    rig.openAndPaint();
    rig.plugin->setParameter(7, 0.5f);  // threshold -30 dB
    std::vector<float> left(512, 0.0f), right(512, 0.0f), outLeft(512), outRight(512);
    std::fill(left.begin() + 200, left.begin() + 300, 0.5f);
    std::fill(right.begin() + 250, right.begin() + 260, -0.25f);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    rig.plugin->processReplacing(inputs, outputs, 512);
    // The detector sees the louder channel; the 16 ms attack has reduced the gain before the part ends.
    EXPECT_FLOAT_EQ(rig.editor->getInputMeter()->getValue(), 0.5f);
    EXPECT_GT(rig.editor->getOutputMeter()->getValue(), 0.45f);
    EXPECT_LT(rig.editor->getReductionMeter()->getValue(), 0.9f);
    for (int i = 0; i < 10; ++i) rig.idle();
    EXPECT_FALSE(rig.editor->getInputMeter()->isDirty());
    const BmpImage lit = resourceImage(14), unlit = resourceImage(15), greenLit = resourceImage(24);
    EXPECT_EQ(mismatches(rig.child(), {154, 12, 202, 18}, lit, 0, 0), 0);
    EXPECT_EQ(mismatches(rig.child(), {202, 12, 250, 18}, unlit, 48, 0), 0);
    // Gain reduction lights from the right: the rightmost green segment at least.
    EXPECT_EQ(mismatches(rig.child(), {509, 12, 517, 18}, greenLit, 88, 0), 0);
}

TEST(EditorSyncTest, AudioThreadMayRunWhileTheEditorOpensAndCloses) {
    EditorRig rig;
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> in(32, 0.3f), out(32);
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out.data(), out.data()};
        while (!stop.load()) {
            rig.plugin->processReplacing(inputs, outputs, 32);
            rig.plugin->setParameter(7, 0.4f);
        }
    });
    for (int i = 0; i < 40; ++i) {
        rig.open();
        rig.idle();
        rig.close();
    }
    stop = true;
    audio.join();
    EXPECT_FALSE(rig.editor->isEditorOpen());
}

}  // namespace
