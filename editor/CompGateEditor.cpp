// CompGateEditor: panel layout, open and close, the display scale (storedScale, settleScale, setScale,
// chooseScale) and the two-way hand-off between controls and effect.
#include "editor/CompGateEditor.h"

#include <thread>

#include "editor/CompGateFormats.h"
#include "editor/PanelLayout.h"
#include "editor/ScaleMenu.h"
#include "effect/CompGateParameters.h"
#include "framework/EffectBase.h"
#include "gui/controls/FilmstripKnob.h"
#include "gui/controls/LevelMeter.h"
#include "gui/controls/ValueReadout.h"
#include "framework/EffectBaseExt.h"
#include "gui/core/Pixmap.h"
#include "gui/core/Platform.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/UiScale.h"
#include "gui/core/UserSettingNames.h"
#include "gui/core/WindowWatch.h"

namespace {

constexpr float meterDecay = 0.1f;
constexpr UiColor readoutTextColour{0, 0, 140, 0};  // dark blue
constexpr int32_t readoutFont = 6;

constexpr UiRect meterBounds(int32_t left) {
    return UiRect{left, layout::kMeterTop, left + layout::kMeterWidth, layout::kMeterTop + layout::kMeterHeight};
}
constexpr UiRect inputMeterBounds = meterBounds(layout::kInputMeterLeft);
constexpr UiRect outputMeterBounds = meterBounds(layout::kOutputMeterLeft);
constexpr UiRect reductionMeterBounds = meterBounds(layout::kReductionMeterLeft);

}  // namespace

CompGateEditor::CompGateEditor(EffectBase* effect) : GuiEditor(effect) {
    backgroundPixmap = new Pixmap(ResourcePanel);
    sizeRect(uiscale::kUnit);  // until the scale is asked for
}

int32_t CompGateEditor::storedScale() {
    int32_t value = 0;
    // A setting that is missing, unreadable or not one of the steps counts as no choice.
    return platform::readUserSetting(usersettings::kEditorScale, value) && uiscale::isStep(value) ? value : 0;
}

void CompGateEditor::settleScale(void* parent) {
    if (scaleSettled) return;
    scaleSettled = true;
    const int32_t stored = storedScale();
    scaleFromSystem = stored == 0;
    sizeRect(stored != 0 ? stored : uiscale::nearestStep(platform::getSystemScale(parent)));
}

VstInt32 CompGateEditor::getRect(ERect** where) {
    settleScale(nullptr);
    return GuiEditor::getRect(where);
}

int32_t CompGateEditor::getScale() {
    settleScale(nullptr);
    return scale;
}

void CompGateEditor::sizeRect(int32_t percent) {
    scale = percent;
    rect.bottom = static_cast<VstInt16>(uiscale::toDevice(backgroundPixmap->getHeight(), percent));
    rect.right = static_cast<VstInt16>(uiscale::toDevice(backgroundPixmap->getWidth(), percent));
}

bool CompGateEditor::setScale(int32_t percent) {
    if (!uiscale::isStep(percent)) return false;
    scaleSettled = true;  // a choice made here outranks the stored one
    scaleFromSystem = false;
    if (!pluginWindow) {
        sizeRect(percent);
        return true;
    }
    const int32_t previous = scale;
    sizeRect(percent);  // hosts ask for the rectangle again while they resize
    if (pluginWindow->getScale() == percent || pluginWindow->setScale(percent)) return true;
    sizeRect(previous);
    return false;
}

void CompGateEditor::chooseScale(int32_t percent) {
    if (!uiscale::isStep(percent)) return;
    platform::writeUserSetting(usersettings::kEditorScale, percent);
    setScale(percent);
}

CompGateEditor::~CompGateEditor() {
    // A host may close the effect without closing the editor first: the window must not outlive us.
    if (pluginWindow) close();
    backgroundPixmap->release();
}

VstInt32 CompGateEditor::open(void* parent) {
    // An open without a close in between would leak the first window: close it first.
    if (pluginWindow) close();
    GuiEditor::open(parent);
    const int32_t told = scale;
    // Without a stored choice the host's window tells the system's scale (a DPI-aware host's DPI).
    if (!scaleSettled)
        settleScale(parent);
    else if (scaleFromSystem)
        sizeRect(uiscale::nearestStep(platform::getSystemScale(parent)));
    // Out of memory anywhere in the building: what was built goes again, the host learns it from 0 and
    // the effect runs on without its editor.
    bool built = false;
    try {
        built = buildWindow(parent);
    } catch (...) {
    }
    if (!built) {
        close();
        return 0;
    }
    isOpen.store(true);  // publishes the control pointers to setParameter on other threads
    // Last, as nothing of the editor is touched after it: a host may close the editor while it resizes.
    if (scale != told) {
        // The host sized its frame from the rectangle it asked for before.
        EffectBaseExt* host = getEffectExt();
        if (host && host->hostCanDo("sizeWindow")) host->hostSizeWindow(rect.right, rect.bottom);
    }
    return 1;
}

namespace {

// The pictures open hands to the controls, one reference each: a control retains what it draws, so
// these references go however the building ends.
struct OpenPictures {
    enum { Strip, MeterLit, MeterUnlit, GreenLit, GreenUnlit, Bar, Count };
    OpenPictures() = default;
    // Not the constructor: a failure half-way must still release the pictures loaded before it.
    void load() {
        static constexpr int32_t ids[Count] = {CompGateEditor::ResourceKnobStrip,  CompGateEditor::ResourceMeterLit,
                                               CompGateEditor::ResourceMeterUnlit, CompGateEditor::ResourceGreenLit,
                                               CompGateEditor::ResourceGreenUnlit, CompGateEditor::ResourceReadoutBar};
        for (int i = 0; i < Count; ++i) items[i] = new Pixmap(ids[i]);
    }
    ~OpenPictures() {
        for (Pixmap* pixmap : items)
            if (pixmap) pixmap->release();
    }
    OpenPictures(const OpenPictures&) = delete;
    OpenPictures& operator=(const OpenPictures&) = delete;
    Pixmap* items[Count] = {};
};

}  // namespace

bool CompGateEditor::buildWindow(void* parent) {
    OpenPictures pictures;
    pictures.load();
    Pixmap* const* p = pictures.items;
    const UiRect area{0, 0, backgroundPixmap->getWidth(), backgroundPixmap->getHeight()};
    pluginWindow = new PluginWindow(area, parent, this, scale);
    // No window to show (no display, or a parent that is not a window): the host learns it from 0.
    if (!pluginWindow->getChildWindow()) return false;
    pluginWindow->setBackground(backgroundPixmap);
    ScaleMenu* menu = new ScaleMenu([this](int32_t percent) { chooseScale(percent); }, [this] { return scale; });
    pluginWindow->setContextMenu(menu);
    menu->release();  // the window holds it
    return buildKnobs(p[OpenPictures::Strip]) &&
           buildMeters(p[OpenPictures::MeterLit], p[OpenPictures::MeterUnlit], p[OpenPictures::GreenLit],
                       p[OpenPictures::GreenUnlit]) &&
           buildReadouts(p[OpenPictures::Bar]);
}

bool CompGateEditor::attach(Widget* control) {
    if (pluginWindow->addChild(control)) return true;
    control->release();
    return false;
}

bool CompGateEditor::buildKnobs(Pixmap* strip) {
    for (const VstInt32 parameter : layout::kControlledParameters) {
        const int32_t left = layout::kKnobLeft(parameter), top = layout::kKnobTop;
        const UiRect bounds{left, top, left + strip->getWidth(), top + layout::kKnobHeight};
        FilmstripKnob* knob = new FilmstripKnob(bounds, this, parameter, layout::kKnobFrames, layout::kKnobHeight,
                                                strip, UiPoint{0, 0});
        knob->setValue(effect->getParameter(parameter));
        if (!attach(knob)) return false;
        knobs[parameter] = knob;
    }
    return true;
}

bool CompGateEditor::buildMeters(Pixmap* lit, Pixmap* unlit, Pixmap* greenLit, Pixmap* greenUnlit) {
    LevelMeter* meter = new LevelMeter(inputMeterBounds, lit, unlit, layout::kMeterSegments, MeterHorizontal);
    meter->setDecay(meterDecay);
    if (!attach(meter)) return false;
    inputMeter = meter;

    meter = new LevelMeter(outputMeterBounds, lit, unlit, layout::kMeterSegments, MeterHorizontal);
    meter->setDecay(meterDecay);
    if (!attach(meter)) return false;
    outputMeter = meter;

    // Gain reduction grows from the right: the unlit picture is the "on" side, so full gain (1.0) is dark.
    meter = new LevelMeter(reductionMeterBounds, greenUnlit, greenLit, layout::kMeterSegments, MeterHorizontal);
    meter->setDecay(meterDecay);
    meter->setValue(1.0f);
    if (!attach(meter)) return false;
    reductionMeter = meter;
    return true;
}

bool CompGateEditor::buildReadouts(Pixmap* bar) {
    for (const VstInt32 parameter : layout::kControlledParameters) {
        const int32_t left = layout::kReadoutLeft(parameter), top = layout::kReadoutTop;
        const UiRect bounds{left, top, left + bar->getWidth(), top + bar->getHeight()};
        ValueReadout* readout = new ValueReadout(bounds, bar, 0);
        readout->setFontId(readoutFont);
        readout->setFontColour(readoutTextColour);
        readout->setBackColour(colourWhite);
        readout->setFrameColour(colourWhite);
        readout->setValue(effect->getParameter(parameter));
        readoutSources[parameter] = {effect, parameter};
        readout->setConverterWithData(formatReadout, &readoutSources[parameter]);
        if (!attach(readout)) return false;
        readouts[parameter] = readout;
    }
    return true;
}

void CompGateEditor::idle() {
    // Filter corners move with the sample rate while the values stay: redraw the texts on a change.
    const float rate = effect->getSampleRate();
    if (isOpen.load() && rate != shownSampleRate) {
        for (ValueReadout* readout : readouts) {
            if (readout) readout->setDirty(true);
        }
    }
    shownSampleRate = rate;
    GuiEditor::idle();
}

void CompGateEditor::close() {
    isOpen.store(false);
    // A meter or automation update that saw the editor open may still be storing into a control.
    while (callsInFlight.load() != 0) std::this_thread::yield();
    if (pluginWindow) {
        delete pluginWindow;  // releases every control, and with them the pixmaps of open
        pluginWindow = nullptr;
    }
    for (FilmstripKnob*& knob : knobs) knob = nullptr;
    for (ValueReadout*& readout : readouts) readout = nullptr;
    inputMeter = outputMeter = reductionMeter = nullptr;
}

FilmstripKnob* CompGateEditor::getKnob(VstInt32 index) const {
    return isOpen.load() && index >= 0 && index < controlledParameterLimit ? knobs[index] : nullptr;
}

ValueReadout* CompGateEditor::getReadout(VstInt32 index) const {
    return isOpen.load() && index >= 0 && index < controlledParameterLimit ? readouts[index] : nullptr;
}

void CompGateEditor::getReadoutText(VstInt32 index, char* text) const {
    text[0] = '\0';
    ValueReadout* readout = getReadout(index);
    if (readout) formatReadout(readout->getValue(), text, const_cast<ReadoutSource*>(&readoutSources[index]));
}

void CompGateEditor::setParameter(VstInt32 index, float value) {
    // Seeing the editor closed touches nothing; seeing it open goes through the count below.
    if (!isOpen.load(std::memory_order_relaxed)) return;
    callsInFlight.fetch_add(1);
    if (isOpen.load()) {
        showValue(index, value);
        requestUpdate();
    }
    callsInFlight.fetch_sub(1);
}

void CompGateEditor::setParameters(VstInt32 first, const float* values, int32_t count) {
    // The audio thread's meter hand-off after every block: with the editor closed it costs no locked
    // instruction.
    if (!isOpen.load(std::memory_order_relaxed)) return;
    callsInFlight.fetch_add(1);
    if (isOpen.load()) {
        for (int32_t i = 0; i < count; ++i) showValue(first + i, values[i]);
        requestUpdate();
    }
    callsInFlight.fetch_sub(1);
}

void CompGateEditor::showValue(VstInt32 index, float value) {
    if (index >= 0 && index < controlledParameterLimit) {
        // The effect's stored value, which may be limited, not the value sent.
        const float stored = effect->getParameter(index);
        if (knobs[index]) knobs[index]->setValue(stored);
        if (readouts[index]) readouts[index]->setValue(stored);
    } else if (index == kMeterInput) {
        if (inputMeter) inputMeter->setValue(value);
    } else if (index == kMeterOutput) {
        if (outputMeter) outputMeter->setValue(value);
    } else if (index == kMeterGain) {
        if (reductionMeter) reductionMeter->setValue(value);
    }
}

void CompGateEditor::valueChanged(DrawSurface* surface, ValueControl* control) {
    const int32_t tag = control->getTag();
    if (tag < 0 || tag >= kNumUserParameters) return;
    WindowWatch watch(pluginWindow);
    effect->setParameterAutomated(tag, control->getValue());
    // A host that closed the editor or the plug-in on the automation request took the control along.
    if (watch.windowClosed()) return;
    // Without a surface (arrow keys) the next idle pass draws the control.
    if (surface) control->update(surface);
}
