// ValueReadout: a passive control that shows its value as one line of text over a pixmap or a box.
#pragma once

#include <cstdint>

#include "gui/core/ValueControl.h"

// Style bits of a read-out; any combination, other bits are ignored.
enum ReadoutStyle : int32_t {
    ReadoutShadowText = 4,
    Readout3DIn = 128,
    Readout3DOut = 256,
    ReadoutNoText = 2048,
    ReadoutNoDraw = 4096,
};

class ValueReadout : public ValueControl {
public:
    // Writes a zero-terminated text of at most 255 characters.
    using Converter = void (*)(float value, char* text);
    using ConverterWithData = void (*)(float value, char* text, void* data);

    ValueReadout(const UiRect& bounds, Pixmap* background, int32_t style);
    ~ValueReadout() override;

    void draw(DrawSurface* surface) override;

    // Drawing settings; each marks the read-out dirty only when it really changes what is drawn.
    virtual void setFontId(int32_t id);
    virtual void setFontColour(UiColor colour);
    virtual void setBackColour(UiColor colour);
    virtual void setFrameColour(UiColor colour);
    virtual void setShadowColour(UiColor colour);
    virtual void setAlignment(int32_t newAlignment);
    virtual void setConverterWithData(ConverterWithData function, void* data);  // wins over the plain one
    virtual void setConverter(Converter function);
    virtual void setSpareConverter(Converter function);
    virtual void setStyle(int32_t bits);
    virtual void setFontStyle(int32_t bits);
    virtual void setTextTransparent(bool flag);

    // The box and the given text; pixmap replaces the background when not null.
    void drawValueText(DrawSurface* surface, const char* text, Pixmap* pixmap);

    int32_t getStyle() const { return style; }
    int32_t getFontId() const { return fontId; }
    int32_t getFontStyle() const { return fontStyle; }
    int32_t getAlignment() const { return alignment; }
    UiColor getFontColour() const { return fontColour; }
    UiColor getBackColour() const { return backColour; }
    UiColor getFrameColour() const { return frameColour; }
    UiColor getShadowColour() const { return shadowColour; }
    bool isTextTransparent() const { return textTransparent; }
    Converter getConverter() const { return converter; }

protected:
    Converter converter = nullptr;
    ConverterWithData converterWithData = nullptr;
    Converter spareConverter = nullptr;  // kept for derived read-outs; nothing here calls it
    void* converterData = nullptr;
    int32_t alignment = AlignCentre;
    int32_t style = 0;
    int32_t fontId = 3;
    int32_t fontStyle = 0;
    UiColor fontColour = colourWhite;
    UiColor backColour = colourBlack;
    UiColor frameColour = colourBlack;
    UiColor shadowColour = colourRed;
    bool textTransparent = true;
};
