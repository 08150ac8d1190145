// EditorUi: the plug-in's own editor as an LV2 UI: an instance of the effect with its editor, hosted by
// this adapter, whose requests become port writes, touches and resizes.
#pragma once

#include <cstdint>

#include "framework/VstInterface.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

class GuiEditor;

// The effect in here never processes audio: it holds the values the editor shows and turns knob moves
// into automation requests. The DSP is reached through the ports alone, so the host may run it in
// another process.
class EditorUi {
public:
    // Opens the editor in the host's parent window (ui:parent). Null without a parent, without a display,
    // or when the editor cannot be built.
    static EditorUi* create(LV2UI_Write_Function write, LV2UI_Controller controller,
                            const LV2_Feature* const* features);
    ~EditorUi();  // closes the editor and the effect
    EditorUi(const EditorUi&) = delete;
    EditorUi& operator=(const EditorUi&) = delete;

    // The editor's X window, the widget the host embeds.
    LV2UI_Widget widget() const;
    // A control port's value from the host: the knob and its read-out, or a meter, follow.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // One idle pass of the editor: events, redraws. Nonzero once its window is gone.
    int idle();

private:
    EditorUi() = default;
    bool open(const LV2_Feature* const* features);
    GuiEditor* editor() const;
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // The host's sample rate from the options, or 0 (the filter read-outs show corners at a rate).
    static float sampleRateOption(const LV2_Feature* const* features);

    // The effect's requests, answered as a minimal host would, with the LV2 host behind it.
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
    bool tellSize(int32_t width, int32_t height);

    AEffect* record = nullptr;
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    float sampleRate = 0.0f;
};
