// CompGatePlugin: the object a host instance really holds: the compressor with its editor.
#pragma once

#include "effect/CompGateEffect.h"

class CompGatePlugin : public CompGateEffect {
public:
    explicit CompGatePlugin(audioMasterCallback hostCallback);
    ~CompGatePlugin() override;

    // Stores the value in the effect, then shows it in the editor (any index, meters included).
    void setParameter(VstInt32 index, float value) override;
    bool getEffectName(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;

    // What the exported `main` answers: the record of a new instance, or null when the host does not
    // speak the interface or the instance could not be built.
    static AEffect* createInstance(audioMasterCallback hostCallback);

private:
    // Set when this instance could not create its editor: `main` refuses it, and only it.
    bool editorCreationFailed = false;
};
