// EditorUi: opening the editor for an LV2 host, its idle and port events, and the effect's requests.
#include "lv2/ui/EditorUi.h"

#include <cstring>
#include <new>

#include "effect/CompGatePlugin.h"
#include "framework/GuiEditor.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/x11/X11WindowId.h"
#include "lv2/PortMap.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

namespace {

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    if (!features) return nullptr;
    for (const LV2_Feature* const* f = features; *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The interface version the effect is told: the one whose services it uses (begin and end of edits).
constexpr VstIntPtr kHostVersion = 2400;

}  // namespace

EditorUi* EditorUi::create(LV2UI_Write_Function write, LV2UI_Controller controller,
                           const LV2_Feature* const* features) {
    // A parent of 0 is no window: X11 hosts hand over the window id itself.
    if (!write || !findFeature(features, LV2_UI__parent)) return nullptr;
    EditorUi* ui = new (std::nothrow) EditorUi;
    if (!ui) return nullptr;
    ui->write = write;
    ui->controller = controller;
    ui->resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize));
    ui->touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    bool opened = false;
    try {
        opened = ui->open(features);
    } catch (...) {
    }
    if (opened) return ui;
    delete ui;
    return nullptr;
}

bool EditorUi::open(const LV2_Feature* const* features) {
    record = CompGatePlugin::createInstance(&EditorUi::hostCallback);
    if (!record) return false;
    // From here on the effect's requests reach this object.
    record->user = this;
    dispatch(effOpen);
    sampleRate = sampleRateOption(features);
    if (sampleRate > 0.0f) dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    if (dispatch(effEditOpen, 0, 0, const_cast<void*>(findFeature(features, LV2_UI__parent))) == 0) return false;
    if (!widget()) return false;
    // The host sizes its frame from what it is told; the editor's rectangle is at its scale.
    ERect* rect = nullptr;
    if (dispatch(effEditGetRect, 0, 0, &rect) && rect) tellSize(rect->right - rect->left, rect->bottom - rect->top);
    return true;
}

EditorUi::~EditorUi() {
    if (!record) return;
    dispatch(effEditClose);
    dispatch(effClose);  // the effect deletes itself, its editor with it
}

GuiEditor* EditorUi::editor() const {
    return record ? static_cast<GuiEditor*>(static_cast<CompGatePlugin*>(EffectBase::fromRecord(record))->getEditor())
                  : nullptr;
}

VstIntPtr EditorUi::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return record ? record->dispatcher(record, opcode, index, value, ptr, opt) : 0;
}

LV2UI_Widget EditorUi::widget() const {
    GuiEditor* shown = editor();
    return reinterpret_cast<LV2UI_Widget>(X11WindowId::of(shown ? shown->getPluginWindow() : nullptr));
}

void EditorUi::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer || port >= PortMap::kAudioIn) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (PortMap::isParameter(port)) {
        // The echo of our own write (or a value the knob already shows) changes nothing: setting it again
        // could move a knob under the user's hand by a rounding step.
        if (PortMap::toPortValue(port, record->getParameter(record, VstInt32(port))) == value) return;
    }
    // Through the effect as a host's parameter set: it stores (and limits) the value and the editor shows
    // what it stored; a meter index goes to its meter as the audio thread's hand-off would.
    record->setParameter(record, VstInt32(port), PortMap::toParameterValue(port, value));
}

int EditorUi::idle() {
    dispatch(effEditIdle);
    GuiEditor* shown = editor();
    PluginWindow* window = shown ? shown->getPluginWindow() : nullptr;
    return window && window->isOpen() ? 0 : 1;
}

bool EditorUi::tellSize(int32_t width, int32_t height) {
    return resize && resize->ui_resize && resize->ui_resize(resize->handle, width, height) == 0;
}

float EditorUi::sampleRateOption(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    if (!map || !map->map || !options) return 0.0f;
    const LV2_URID key = map->map(map->handle, LV2_PARAMETERS__sampleRate);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o) {
        if (o->key == key && o->type == floatType && o->size == sizeof(float) && o->value) {
            float rate;
            std::memcpy(&rate, o->value, sizeof rate);
            if (rate > 0.0f) return rate;
        }
    }
    return 0.0f;
}

VstIntPtr VSTCALLBACK EditorUi::hostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                             void* ptr, float) {
    EditorUi* ui = record ? static_cast<EditorUi*>(record->user) : nullptr;
    if (ui) return ui->answer(opcode, index, value, ptr);
    // While the instance is being made: a host that speaks the interface.
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

VstIntPtr EditorUi::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    switch (opcode) {
    case audioMasterVersion:
        return kHostVersion;
    case audioMasterAutomate: {
        if (index < 0 || !PortMap::isParameter(uint32_t(index))) return 0;
        // What the effect stored (it limits some values), in the port's units.
        const float portValue = PortMap::toPortValue(uint32_t(index), record->getParameter(record, index));
        write(controller, uint32_t(index), sizeof portValue, 0, &portValue);
        return 1;
    }
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (index < 0 || !PortMap::isParameter(uint32_t(index)) || !touch || !touch->touch) return 0;
        touch->touch(touch->handle, uint32_t(index), opcode == audioMasterBeginEdit);
        return 1;
    case audioMasterSizeWindow:
        return tellSize(index, int32_t(value)) ? 1 : 0;
    case audioMasterGetSampleRate:
        return VstIntPtr(sampleRate);
    case audioMasterCanDo:
        return ptr && resize && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
    default:
        return 0;  // no transport, no other plug-ins, no windows of the host's
    }
}
