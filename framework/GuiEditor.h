// GuiEditor: the editor base bound to the toolkit's PluginWindow, with the rate-limited idle pass.
#pragma once

#include <cstdint>

#include "framework/EditorBase.h"
#include "base/RelaxedAtomic.h"

class EffectBaseExt;
class PluginWindow;

class GuiEditor : public EditorBase {
  public:
    // Enters itself in the effect, which owns it from then on.
    explicit GuiEditor(EffectBase* effect);
    ~GuiEditor() override;

    VstInt32 getRect(ERect** rect) override;
    VstInt32 open(void* parent) override;
    void idle() override;
    VstInt32 onKeyDown(VstKeyCode& key) override;
    VstInt32 onKeyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(VstInt32 mode) override;
    bool onWheel(float distance) override;

    // Shows a parameter change; here only an update request.
    virtual void setParameter(VstInt32 index, float value);
    // Shows `count` values of consecutive indices from `first` on, as that many setParameter calls in
    // order would; one call per audio block for a set of meters.
    virtual void setParameters(VstInt32 first, const float* values, int32_t count);
    // Draws every widget of the open window at once; the area is not used.
    virtual void drawAll(ERect* area);
    // Idle pass for controls that hold the mouse. The next pass is due 100 ms after the last, but a call
    // within 50 ms of that (after a nap of 4 ms, the most it sleeps) runs it early: passes come at most
    // about every 50 ms, and a host that calls somewhat late is not skipped for a whole period.
    virtual void serviceIdle();

    // The effect with its second-generation host services, or null for a plain EffectBase.
    EffectBaseExt* getEffectExt() const;
    PluginWindow* getPluginWindow() const { return pluginWindow; }

    static void sleepFor(uint32_t milliseconds);
    static uint32_t getTicks();
    static VstInt32 getKnobMode() { return knobMode.load(); }

    // Shared by every editor of the process; set by the host through effSetEditKnobMode.
    static RelaxedAtomic<VstInt32> knobMode;

  protected:
    ERect rect;
    PluginWindow* pluginWindow;
    uint32_t nextIdleTicks;
    bool inServiceIdle;
};
