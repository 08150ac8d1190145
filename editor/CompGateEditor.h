// CompGateEditor: the compressor's front panel: eight film-strip knobs, eight read-outs, three level meters;
// its display scale (stored choice, system scale, size menu) and the editor rectangle at that scale.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/CompGateFormats.h"
#include "framework/GuiEditor.h"
#include "gui/core/ControlListener.h"

class FilmstripKnob;
class LevelMeter;
class Pixmap;
class ValueReadout;
class Widget;

class CompGateEditor : public GuiEditor, public ControlListener {
public:
    // Loads the panel picture (its size, not its pixels) so that the host can ask for the editor size
    // before opening it. Reads no setting and asks the system nothing: hosts create far more instances
    // than they open editors.
    explicit CompGateEditor(EffectBase* effect);
    ~CompGateEditor() override;

    // The rectangle at the editor's scale, worked out at the first request.
    VstInt32 getRect(ERect** rect) override;
    VstInt32 open(void* parent) override;
    void close() override;
    void idle() override;
    // Mirrors the effect's value of a user parameter into its knob and read-out, or a level into a meter.
    // Runs on the host's and the audio thread: stores only, no drawing, allocation or system call.
    void setParameter(VstInt32 index, float value) override;
    // The meters of one block at once: while closed a single relaxed load, while open one pass of the
    // in-flight count and one update request.
    void setParameters(VstInt32 first, const float* values, int32_t count) override;
    // A knob moved by the user: the effect stores the value and the host hears of it.
    void valueChanged(DrawSurface* surface, ValueControl* control) override;

    bool isEditorOpen() const { return isOpen.load(); }
    // The control of a parameter while open, else null (also for parameters without one).
    FilmstripKnob* getKnob(VstInt32 index) const;
    ValueReadout* getReadout(VstInt32 index) const;
    // The line the read-out of a parameter shows for its current value; empty while closed.
    void getReadoutText(VstInt32 index, char* text) const;
    LevelMeter* getInputMeter() const { return inputMeter; }
    LevelMeter* getOutputMeter() const { return outputMeter; }
    LevelMeter* getReductionMeter() const { return reductionMeter; }

    // Display scale in percent (100, 150, 200). Worked out at the first getRect, open or getScale: the
    // user's stored choice, else the system's scale (the host's window once open); the editor rectangle
    // is the panel at that scale.
    int32_t getScale();
    // The user's pick from the size menu: stored for later instances, then applied.
    void chooseScale(int32_t percent);
    // Applies a scale: while open the window is resized (false, nothing changed, when the host refuses).
    bool setScale(int32_t percent);
    // The stored choice when it is a valid step, else 0 (a tool's override of it comes first).
    static int32_t storedScale();

    // Bitmap resources of the panel.
    enum Resource : int32_t {
        ResourcePanel = 12,
        ResourceKnobStrip = 13,
        ResourceMeterLit = 14,
        ResourceMeterUnlit = 15,
        ResourceReadoutBar = 16,
        ResourceGreenLit = 24,
        ResourceGreenUnlit = 25,
    };
    // Knobs and read-outs exist for 1 to 3 and 7 to 11; the gate's 4 to 6 have none.
    static constexpr int32_t controlledParameterLimit = 12;

private:
    // Each answers false when a control could not be added; what was added goes with the window.
    bool buildWindow(void* parent);
    bool buildKnobs(Pixmap* strip);
    bool buildMeters(Pixmap* lit, Pixmap* unlit, Pixmap* greenLit, Pixmap* greenUnlit);
    bool buildReadouts(Pixmap* bar);
    bool attach(Widget* control);
    // Hands one value to its control; the caller holds an in-flight count with the editor open.
    void showValue(VstInt32 index, float value);
    // The editor rectangle for a scale.
    void sizeRect(int32_t percent);
    // The first answer of the scale: the stored choice, else the system's for the host's window (null
    // before open). Later calls do nothing.
    void settleScale(void* parent);

    FilmstripKnob* knobs[controlledParameterLimit] = {};    // not owned: the window owns its children
    ValueReadout* readouts[controlledParameterLimit] = {};  // not owned
    ReadoutSource readoutSources[controlledParameterLimit] = {};
    float shownSampleRate = 0.0f;  // user-interface thread only
    LevelMeter* inputMeter = nullptr;
    LevelMeter* outputMeter = nullptr;
    LevelMeter* reductionMeter = nullptr;
    Pixmap* backgroundPixmap = nullptr;  // one reference for the editor's whole life
    int32_t scale = 100;  // user-interface thread only; the scale of rect
    bool scaleSettled = false;  // scale and rect answer the stored choice or the system
    bool scaleFromSystem = false;  // no choice yet: the host's window may tell a better default at open
    // Read by setParameter on other threads; close waits until no such call still uses the controls.
    std::atomic<bool> isOpen{false};
    std::atomic<int32_t> callsInFlight{0};
};
