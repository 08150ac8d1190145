// The UI library's one export, lv2ui_descriptor, and its entries: each a wall nothing thrown gets past.
#include <cstring>

#include "lv2/ui/EditorUi.h"

#include <lv2/ui/ui.h>

namespace {

EditorUi* uiOf(LV2UI_Handle handle) { return static_cast<EditorUi*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!widget) return nullptr;
    try {
        EditorUi* ui = EditorUi::create(write, controller, features);
        if (ui) *widget = ui->widget();
        return ui;
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    try {
        delete uiOf(handle);
    } catch (...) {
    }
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    try {
        if (handle) uiOf(handle)->portEvent(port, size, format, buffer);
    } catch (...) {
    }
}

int idle(LV2UI_Handle handle) {
    try {
        return handle ? uiOf(handle)->idle() : 1;
    } catch (...) {
        return 1;  // an editor that cannot idle is no editor any more: the host may close it
    }
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface = {idle};
    try {
        if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    } catch (...) {
    }
    return nullptr;
}

const LV2UI_Descriptor descriptor = {VOZUV_LV2_URI "#ui", instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
