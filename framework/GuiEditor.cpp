// GuiEditor: the toolkit-bound editor base, its key and wheel forwarding and the rate-limited idle pass.
#include "framework/GuiEditor.h"

#include "framework/EffectBaseExt.h"
#include "gui/core/Platform.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"

RelaxedAtomic<VstInt32> GuiEditor::knobMode(0);

namespace {

// True when tick a lies shortly before tick b. The idle deadline is never more than about 100 ms ahead of
// the clock, so a larger distance means the deadline has passed (also across the 49.7-day wrap of the
// 32-bit tick count, where plain comparisons would stall the pass for weeks).
bool isShortlyBefore(uint32_t a, uint32_t b) {
    const uint32_t distance = b - a;
    return distance != 0 && distance <= 1000;
}

}  // namespace

GuiEditor::GuiEditor(EffectBase* effect)
    : EditorBase(effect),
      rect{0, 0, 0, 0},
      pluginWindow(nullptr),
      nextIdleTicks(getTicks()),
      inServiceIdle(false) {
    if (effect) effect->setEditor(this);
}

// OLE belongs to the editor's window (its drop target), not to the editor object.
GuiEditor::~GuiEditor() {}

VstInt32 GuiEditor::getRect(ERect** where) {
    *where = &rect;
    return 1;
}

VstInt32 GuiEditor::open(void* parent) {
    inServiceIdle = false;  // left set when the host closed the editor from inside serviceIdle
    requestUpdate();
    parentWindow = parent;
    return 0;
}

void GuiEditor::idle() {
    // The host may call back into effEditIdle from the hostIdle of serviceIdle.
    if (inServiceIdle) return;
    EditorBase::idle();
    if (pluginWindow) pluginWindow->idle();
}

namespace {

// The host's key record in the toolkit's terms.
UiKey toUiKey(const VstKeyCode& key) {
    UiKey converted;
    converted.character = key.character;
    switch (key.virt) {
    case VKEY_LEFT: converted.name = UiKeyName::Left; break;
    case VKEY_UP: converted.name = UiKeyName::Up; break;
    case VKEY_RIGHT: converted.name = UiKeyName::Right; break;
    case VKEY_DOWN: converted.name = UiKeyName::Down; break;
    default: break;
    }
    converted.shift = (key.modifier & MODIFIER_SHIFT) != 0;
    return converted;
}

}  // namespace

VstInt32 GuiEditor::onKeyDown(VstKeyCode& key) {
    return pluginWindow ? pluginWindow->onKeyDown(toUiKey(key)) : -1;
}
VstInt32 GuiEditor::onKeyUp(VstKeyCode& key) {
    return pluginWindow ? pluginWindow->onKeyUp(toUiKey(key)) : -1;
}

VstInt32 GuiEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return 1;
}

bool GuiEditor::onWheel(float distance) {
    return pluginWindow ? pluginWindow->onWheel(nullptr, UiPoint{0, 0}, distance) : false;
}

void GuiEditor::setParameter(VstInt32, float) {
    requestUpdate();
}

void GuiEditor::setParameters(VstInt32 first, const float* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) setParameter(first + i, values[i]);
}

void GuiEditor::drawAll(ERect*) {
    if (pluginWindow) pluginWindow->redrawWidget(nullptr);
}

void GuiEditor::serviceIdle() {
    uint32_t now = getTicks();
    if (isShortlyBefore(now, nextIdleTicks)) {
        sleepFor(4);
        now += 4;
        if (isShortlyBefore(now, nextIdleTicks - 50)) return;
    }
    // A host may close the editor or the plug-in from its idle or from the paint of one of its windows;
    // this editor may then be gone too.
    WindowWatch watch(pluginWindow);
    idle();
    platform::dispatchOnePaintMessage();
    if (watch.windowClosed()) return;
    nextIdleTicks = now + 100;
    inServiceIdle = true;
    if (effect) effect->hostIdle();
    if (watch.windowClosed()) return;
    inServiceIdle = false;
}

EffectBaseExt* GuiEditor::getEffectExt() const {
    return dynamic_cast<EffectBaseExt*>(effect);
}

void GuiEditor::sleepFor(uint32_t milliseconds) {
    platform::sleepFor(milliseconds);
}
uint32_t GuiEditor::getTicks() {
    return platform::getTicks();
}
