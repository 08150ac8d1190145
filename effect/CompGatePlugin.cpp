// CompGatePlugin: instance creation, identity texts and the parameter hand-off to the editor.
#include "effect/CompGatePlugin.h"

#include <cstring>
#include <new>

#include "editor/CompGateEditor.h"
#include "framework/GuiEditor.h"

namespace {
const char* const kEffectName = "VozuvAzirOVA";
}  // namespace

CompGatePlugin::CompGatePlugin(audioMasterCallback hostCallback) : CompGateEffect(hostCallback) {
    // The editor enters itself in `editor` and raises the has-editor flag; when it cannot be created,
    // editorCreationFailed is set and `main` refuses the instance.
    try {
        if (!new (std::nothrow) CompGateEditor(this)) editorCreationFailed = true;
    } catch (...) {
        // It had entered itself before its own construction failed: forget the freed object.
        setEditor(nullptr);
        setFlag(effFlagsHasEditor, false);
        editorCreationFailed = true;
    }
}

CompGatePlugin::~CompGatePlugin() = default;

void CompGatePlugin::setParameter(VstInt32 index, float value) {
    CompGateEffect::setParameter(index, value);
    if (editor) static_cast<GuiEditor*>(editor)->setParameter(index, value);
}

bool CompGatePlugin::getEffectName(char* text) {
    std::strcpy(text, kEffectName);
    return true;
}

bool CompGatePlugin::getProductString(char* text) {
    std::strcpy(text, kEffectName);
    return true;
}

VstInt32 CompGatePlugin::getVendorVersion() { return 1000; }

AEffect* CompGatePlugin::createInstance(audioMasterCallback hostCallback) {
    // Without a callback there is no host to ask; a version of 0 means it does not speak the interface.
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    CompGatePlugin* plugin = nullptr;
    try {
        plugin = new (std::nothrow) CompGatePlugin(hostCallback);
    } catch (...) {
        return nullptr;  // a part of the object could not be allocated; what was built is gone again
    }
    if (!plugin) return nullptr;
    // Without its programs the instance would run on parameters no program set: refused like one
    // without its editor.
    if (plugin->editorCreationFailed || !plugin->programs) {
        delete plugin;
        return nullptr;
    }
    return plugin->getAeffect();
}
