// EditorBase: defaults of the editor the host drives through the editor opcodes.
#include "framework/EditorBase.h"

EditorBase::EditorBase(EffectBase* effect) : effect(effect), parentWindow(nullptr), updateRequested(0) {}

EditorBase::~EditorBase() {}

VstInt32 EditorBase::getRect(ERect** rect) {
    *rect = nullptr;
    return 0;
}

VstInt32 EditorBase::open(void* parent) {
    parentWindow = parent;
    return 0;
}

void EditorBase::close() {}

// A request raised after the flag is cleared is covered by this update or by the next idle.
void EditorBase::idle() {
    if (updateRequested != 0) {
        updateRequested = 0;
        update();
    }
}

void EditorBase::update() {}
void EditorBase::requestUpdate() {
    updateRequested = 1;
}
VstInt32 EditorBase::onKeyDown(VstKeyCode&) {
    return -1;
}
VstInt32 EditorBase::onKeyUp(VstKeyCode&) {
    return -1;
}
VstInt32 EditorBase::setKnobMode(VstInt32) {
    return 0;
}
bool EditorBase::onWheel(float) {
    return false;
}
