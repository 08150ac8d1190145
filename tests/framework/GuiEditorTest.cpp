// The toolkit-bound editor base on the headless backend: rectangle, keys, knob mode, idle and its pacing.
#include <gtest/gtest.h>

#include "ProbeEffect.h"
#include "RecordingHost.h"
#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

namespace {

// Answers keys and the wheel with fixed values, so forwarding is visible.
class KeyWidget : public Widget {
  public:
    KeyWidget() : Widget(UiRect{0, 0, 762, 104}) {}
    int32_t onKeyDown(const UiKey& key) override {
        lastKey = key;
        return 21;
    }
    int32_t onKeyUp(const UiKey& key) override {
        lastKey = key;
        return 22;
    }
    bool onWheel(DrawSurface*, const UiPoint&, float distance) override {
        lastDistance = distance;
        return true;
    }
    UiKey lastKey{};
    float lastDistance = 0;
};

class ProbeGuiEditor : public GuiEditor {
  public:
    ProbeGuiEditor(EffectBase* effect, bool* destroyed = nullptr) : GuiEditor(effect), destroyed(destroyed) {
        rect = ERect{0, 0, 104, 762};
    }
    ~ProbeGuiEditor() override {
        close();
        if (destroyed) *destroyed = true;
    }
    VstInt32 open(void* parent) override {
        GuiEditor::open(parent);
        pluginWindow = new PluginWindow(UiRect{0, 0, rect.right, rect.bottom}, parent, this);
        keys = new KeyWidget;
        pluginWindow->addChild(keys);
        return 1;
    }
    void close() override {
        if (pluginWindow) pluginWindow->release();
        pluginWindow = nullptr;
        keys = nullptr;
    }
    void update() override {
        ++updates;
        if (onUpdate) onUpdate();
    }

    KeyWidget* keys = nullptr;
    int updates = 0;
    std::function<void()> onUpdate;

  private:
    bool* destroyed;
};

class GuiEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host.reset();
        ScriptedInput::instance().reset(1000);
        effect = new ProbeEffect(RecordingHost::callback);
        record = effect->record();
        editor = new ProbeGuiEditor(effect);
    }
    void TearDown() override {
        if (record) dispatch(record, effClose);
    }
    size_t idleRequests() const {
        size_t n = 0;
        for (const HostRequest& r : host.requests) n += r.opcode == audioMasterIdle;
        return n;
    }

    RecordingHost& host = RecordingHost::instance();
    ProbeEffect* effect = nullptr;
    AEffect* record = nullptr;
    ProbeGuiEditor* editor = nullptr;
};

TEST_F(GuiEditorTest, EntersItselfAndAnswersTheRectangleBeforeOpening) {
    EXPECT_EQ(effect->getEditor(), editor);
    EXPECT_EQ(record->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(record, effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 104);
    EXPECT_EQ(rect->right, 762);
}

TEST_F(GuiEditorTest, ClosedEditorRefusesKeysAndWheel) {
    EXPECT_EQ(dispatch(record, effEditKeyDown, 'a', 0), -1);
    EXPECT_EQ(dispatch(record, effEditKeyUp, 'a', 0), -1);
    EXPECT_FALSE(editor->onWheel(1.0f));
    editor->drawAll(nullptr);
}

TEST_F(GuiEditorTest, OpenEditorForwardsKeysAndWheelToTheWindow) {
    HeadlessWindow parent(nullptr, UiRect{0, 0, 800, 200});
    EXPECT_EQ(dispatch(record, effEditOpen, 0, 0, parent.handle()), 1);
    EXPECT_EQ(editor->getParentWindow(), parent.handle());
    EXPECT_EQ(dispatch(record, effEditKeyDown, 'q', VKEY_UP, nullptr, 1.0f), 21);
    EXPECT_EQ(editor->keys->lastKey.character, 'q');
    // The host's key record arrives in the toolkit's terms.
    EXPECT_EQ(editor->keys->lastKey.name, UiKeyName::Up);
    EXPECT_TRUE(editor->keys->lastKey.shift);
    EXPECT_EQ(dispatch(record, effEditKeyUp, 'q', VKEY_UP), 22);
    ScriptedInput::instance().setCursor(UiPoint{10, 10});
    EXPECT_TRUE(editor->onWheel(2.5f));
    EXPECT_EQ(editor->keys->lastDistance, 2.5f);
    dispatch(record, effEditClose);
    EXPECT_EQ(editor->getPluginWindow(), nullptr);
    EXPECT_EQ(dispatch(record, effEditKeyDown, 'q', 0), -1);
}

TEST_F(GuiEditorTest, KnobModeIsSharedByEveryEditor) {
    bool otherGone = false;
    auto* other = new ProbeEffect(nullptr);
    new ProbeGuiEditor(other, &otherGone);
    EXPECT_EQ(dispatch(record, effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(GuiEditor::getKnobMode(), 2);
    EXPECT_EQ(dispatch(other->record(), effSetEditKnobMode, 0, 1), 1);
    EXPECT_EQ(GuiEditor::knobMode, 1);
    dispatch(other->record(), effClose);
    EXPECT_TRUE(otherGone);
    EXPECT_EQ(GuiEditor::getKnobMode(), 1);
    dispatch(record, effSetEditKnobMode, 0, 0);
}

TEST_F(GuiEditorTest, UpdateRequestRunsUpdateOnceOnIdle) {
    editor->requestUpdate();
    dispatch(record, effEditIdle);
    dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 1);
    editor->setParameter(3, 0.5f);  // the base editor's parameter change is an update request
    dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 2);
    dispatch(record, effEditOpen, 0, 0, nullptr);  // opening requests a first update
    dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 3);
    // A request that arrives while update() runs (automation on the audio thread) is not lost.
    editor->onUpdate = [this] {
        if (editor->updates == 4) editor->requestUpdate();
    };
    editor->requestUpdate();
    for (int i = 0; i < 3; ++i) dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 5);
}

TEST_F(GuiEditorTest, ServiceIdleRunsAPassAtMostEveryHundredMilliseconds) {
    ScriptedInput& input = ScriptedInput::instance();
    editor->requestUpdate();
    editor->serviceIdle();  // at the construction tick: a pass
    EXPECT_EQ(editor->updates, 1);
    EXPECT_EQ(idleRequests(), 1u);
    EXPECT_EQ(input.sleepCount(), 0u);

    editor->requestUpdate();
    editor->serviceIdle();  // at once again: sleeps 4 ms only
    EXPECT_EQ(input.sleepCount(), 1u);
    EXPECT_EQ(input.sleptTicks(), 4u);
    EXPECT_EQ(editor->updates, 1);
    EXPECT_EQ(idleRequests(), 1u);

    input.advance(1045 - input.ticks());  // 45 ms after the pass: still too early
    editor->serviceIdle();
    EXPECT_EQ(idleRequests(), 1u);
    input.advance(1046 - input.ticks());  // 46 ms after: the 4 ms sleep reaches the deadline
    editor->serviceIdle();
    EXPECT_EQ(idleRequests(), 2u);
    EXPECT_EQ(editor->updates, 2);
    EXPECT_EQ(input.sleepCount(), 3u);
}

// Across the 32-bit wrap of the tick count the pacing holds, and a deadline left just before the wrap
// does not hold the pass back once the clock has wrapped.
TEST_F(GuiEditorTest, ServiceIdleSurvivesTheTickCountWrap) {
    ScriptedInput& input = ScriptedInput::instance();
    for (uint32_t start : {0xFFFFFFF0u, 0xFFFFFF00u}) {
        input.reset(start);
        auto* wrapped = new ProbeEffect(RecordingHost::callback);
        auto* wrappedEditor = new ProbeGuiEditor(wrapped);
        host.requests.clear();
        wrappedEditor->serviceIdle();
        EXPECT_EQ(idleRequests(), 1u) << start;
        input.advance(4);
        wrappedEditor->serviceIdle();  // 4 ms later: too early, whichever side of the wrap
        EXPECT_EQ(idleRequests(), 1u) << start;
        input.advance(0x105);  // the clock has wrapped past 0
        ASSERT_LT(input.ticks(), 0x200u);
        wrappedEditor->serviceIdle();
        EXPECT_EQ(idleRequests(), 2u) << start;
        dispatch(wrapped->record(), effClose);
    }
}

TEST_F(GuiEditorTest, HostIdleCallingBackIntoEditIdleReturnsAtOnce) {
    int updatesSeenByHost = -1;
    host.answer = [&](const HostRequest& r) -> VstIntPtr {
        if (r.opcode == audioMasterIdle) {
            editor->requestUpdate();
            dispatch(record, effEditIdle);
            updatesSeenByHost = editor->updates;
        }
        return 0;
    };
    editor->serviceIdle();
    EXPECT_EQ(updatesSeenByHost, 0);
    dispatch(record, effEditIdle);
    EXPECT_EQ(editor->updates, 1);
}

TEST_F(GuiEditorTest, ServiceIdleDispatchesOnePaintMessagePerPass) {
    HeadlessWindow first(nullptr, UiRect{0, 0, 10, 10});  // a new window waits for its first paint
    HeadlessWindow second(nullptr, UiRect{0, 0, 10, 10});
    HeadlessSystem::reset();
    editor->serviceIdle();
    EXPECT_EQ(HeadlessSystem::paintDispatches, 1);
    editor->serviceIdle();  // too early: no pass, no paint
    EXPECT_EQ(HeadlessSystem::paintDispatches, 1);
    ScriptedInput::instance().advance(100);
    editor->serviceIdle();
    EXPECT_EQ(HeadlessSystem::paintDispatches, 2);
}

// OLE is held only while the editor is open (its window's drop target), never by the editor object itself.
TEST_F(GuiEditorTest, OleInitialisationLastsAsLongAsTheOpenWindow) {
    const int32_t before = HeadlessSystem::oleDepth();
    auto* other = new ProbeEffect(nullptr);
    auto* otherEditor = new ProbeGuiEditor(other);
    EXPECT_EQ(HeadlessSystem::oleDepth(), before);
    HeadlessWindow parent(nullptr, UiRect{0, 0, 800, 200});
    for (int cycle = 0; cycle < 2; ++cycle) {
        dispatch(other->record(), effEditOpen, 0, 0, parent.handle());
        ASSERT_NE(otherEditor->getPluginWindow(), nullptr);
        EXPECT_EQ(HeadlessSystem::oleDepth(), before + 1);
        dispatch(other->record(), effEditClose);
        EXPECT_EQ(HeadlessSystem::oleDepth(), before);
    }
    dispatch(other->record(), effEditOpen, 0, 0, parent.handle());
    dispatch(other->record(), effClose);
    EXPECT_EQ(HeadlessSystem::oleDepth(), before);
}

TEST_F(GuiEditorTest, CloseDestroysTheEditorWithTheEffect) {
    bool gone = false;
    auto* other = new ProbeEffect(nullptr);
    new ProbeGuiEditor(other, &gone);
    EXPECT_EQ(dispatch(other->record(), effClose), 1);
    EXPECT_TRUE(gone);
}

}  // namespace
