// EditorBase: the minimal editor the dispatcher's editor opcodes reach.
#pragma once

#include "framework/VstInterface.h"
#include "base/RelaxedAtomic.h"

class EffectBase;

class EditorBase {
  public:
    explicit EditorBase(EffectBase* effect);
    virtual ~EditorBase();

    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    // Stores the editor rectangle's address in *rect (null here) and answers whether there is one.
    virtual VstInt32 getRect(ERect** rect);
    virtual VstInt32 open(void* parent);
    virtual void close();
    virtual void idle();
    virtual void update();
    virtual void requestUpdate();
    virtual VstInt32 onKeyDown(VstKeyCode& key);
    virtual VstInt32 onKeyUp(VstKeyCode& key);
    virtual VstInt32 setKnobMode(VstInt32 mode);
    virtual bool onWheel(float distance);

    EffectBase* getEffect() const { return effect; }
    void* getParentWindow() const { return parentWindow; }

  protected:
    EffectBase* effect;
    void* parentWindow;
    // Raised from whichever thread sets a parameter (the audio thread under automation), cleared by idle.
    RelaxedAtomic<VstInt32> updateRequested;
};
