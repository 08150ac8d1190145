// ValueReadout: text of the value through a converter, over a pixmap, a box or a 3D frame.
#include "gui/controls/ValueReadout.h"

#include <cstdio>

#include "gui/core/DrawSurface.h"
#include "gui/core/Pixmap.h"

ValueReadout::ValueReadout(const UiRect& bounds, Pixmap* background, int32_t style)
    : ValueControl(bounds, nullptr, 0, background), style(style) {
    backgroundOffset = UiPoint{0, 0};
    // A read-out that never paints must not keep the idle pass busy.
    if (style & ReadoutNoDraw) setDirty(false);
}

ValueReadout::~ValueReadout() = default;

void ValueReadout::draw(DrawSurface* surface) {
    char text[256];
    const float shown = value;  // one read: the audio or host thread may store a new value meanwhile
    if (converterWithData) {
        text[0] = 0;
        converterWithData(shown, text, converterData);
    } else if (converter) {
        text[0] = 0;
        converter(shown, text);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(shown));
    }
    text[sizeof text - 1] = 0;
    drawValueText(surface, text, nullptr);
}

void ValueReadout::drawValueText(DrawSurface* surface, const char* text, Pixmap* pixmap) {
    setDirty(false);
    if (style & ReadoutNoDraw) return;

    Pixmap* box = pixmap ? pixmap : background;
    const bool threeD = (style & (Readout3DIn | Readout3DOut)) != 0;
    if (box) {
        if (transparent)
            box->drawTransparent(surface, bounds, backgroundOffset);
        else
            box->draw(surface, bounds, backgroundOffset);
    } else if (!transparent) {
        surface->setFillColour(backColour);
        surface->fillArea(bounds);
        if (!threeD) {
            surface->setFrameColour(frameColour);
            surface->drawFrame(bounds);
        }
    }

    if (threeD) {
        const bool sunken = (style & Readout3DIn) != 0;
        const UiColor first = sunken ? backColour : frameColour;
        const UiColor second = sunken ? frameColour : backColour;
        surface->setFrameColour(first);
        surface->moveTo(UiPoint{bounds.left, bounds.bottom});
        surface->lineTo(UiPoint{bounds.left, bounds.top});
        surface->lineTo(UiPoint{bounds.right + 1, bounds.top});
        surface->setFrameColour(second);
        surface->moveTo(UiPoint{bounds.right, bounds.top + 1});
        surface->lineTo(UiPoint{bounds.right, bounds.bottom});
        surface->lineTo(UiPoint{bounds.left, bounds.bottom});
    }

    if ((style & ReadoutNoText) || !text) return;
    surface->setFont(fontId, 0, fontStyle);
    if (style & ReadoutShadowText) {
        const UiRect shadowArea{bounds.left + 1, bounds.top + 1, bounds.right + 1, bounds.bottom + 1};
        surface->setFontColour(shadowColour);
        surface->drawText(text, shadowArea, !textTransparent, alignment);
    }
    surface->setFontColour(fontColour);
    surface->drawText(text, bounds, !textTransparent, alignment);
}

void ValueReadout::setFontId(int32_t id) {
    if (id != fontId) setDirty(true);
    fontId = id;
}

// Colours compare by red, green and blue only: the fourth byte never shows.
void ValueReadout::setFontColour(UiColor colour) {
    if (!colour.sameRgb(fontColour)) setDirty(true);
    fontColour = colour;
}

void ValueReadout::setBackColour(UiColor colour) {
    if (!colour.sameRgb(backColour)) setDirty(true);
    backColour = colour;
}

void ValueReadout::setFrameColour(UiColor colour) {
    if (!colour.sameRgb(frameColour)) setDirty(true);
    frameColour = colour;
}

void ValueReadout::setShadowColour(UiColor colour) {
    if (!colour.sameRgb(shadowColour)) setDirty(true);
    shadowColour = colour;
}

void ValueReadout::setAlignment(int32_t newAlignment) {
    if (newAlignment != alignment) setDirty(true);
    alignment = newAlignment;
}

void ValueReadout::setConverterWithData(ConverterWithData function, void* data) {
    converterWithData = function;
    converterData = data;
}

void ValueReadout::setConverter(Converter function) { converter = function; }

void ValueReadout::setSpareConverter(Converter function) { spareConverter = function; }

void ValueReadout::setStyle(int32_t bits) {
    if (bits == style) return;
    style = bits;
    setDirty(true);
}

void ValueReadout::setFontStyle(int32_t bits) {
    if (bits != fontStyle) setDirty(true);
    fontStyle = bits;
}

void ValueReadout::setTextTransparent(bool flag) { textTransparent = flag; }
