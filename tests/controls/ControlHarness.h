// Test support for the controls: a headless editor window, scripted drags, the module's bitmaps as images.
#pragma once

#include <vector>

#include "framework/GuiEditor.h"
#include "gui/core/ControlListener.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/ValueControl.h"
#include "gui/controls/VerticalFader.h"
#include "resources/EmbeddedBitmaps.h"
#include "tests/gui/EditorHarness.h"
#include "base/BmpImage.h"

// Records each change and marks the control drawn, as an editor that redraws at once would, so that
// the next report means the value moved again.
class DrawingListener : public ControlListener {
public:
    void valueChanged(DrawSurface*, ValueControl* control) override {
        values.push_back(control->getValue());
        control->setDirty(false);
    }
    std::vector<float> values;
};

// Scripted press at path[0] (client coordinates) with the modifiers, one move per further point, release.
// The press lasts three polls: the window's hit test, the control's own check and its first loop turn, so
// each position reaches the control together with the buttons of its own step.
inline void scriptDrag(HeadlessWindow* child, const std::vector<UiPoint>& path, int32_t modifiers = 0) {
    const UiPoint origin = child->screenOrigin();
    ScriptedInput& input = ScriptedInput::instance();
    input.setState(0, input.cursor());  // drop what a previous gesture left unpolled
    input.press({path[0].h + origin.h, path[0].v + origin.v}, modifiers).hold(3);
    for (size_t i = 1; i < path.size(); ++i) input.moveTo({path[i].h + origin.h, path[i].v + origin.v});
    input.release();
    child->mouseDown(MouseLeft, path[0]);
}

inline void scriptClick(HeadlessWindow* child, UiPoint where, int32_t modifiers = 0) {
    scriptDrag(child, {where}, modifiers);
}

// The toolkit's example fader at (18, 10, 34, 170): a 16 by 160 track (resource 129), a 14 by 12 handle
// (resource 130), travel from row 10 to 157, minimum at the bottom.
inline VerticalFader* makeExampleFader(ControlListener* listener, int32_t tag = 1) {
    Pixmap* track = new Pixmap(129);
    Pixmap* handle = new Pixmap(130);
    auto* fader = new VerticalFader(UiRect{18, 10, 34, 170}, listener, tag, 10, 157, handle, track, {0, 0},
                                    FaderMinBottom);
    track->release();
    handle->release();
    return fader;
}

inline BmpImage resourceImage(int id) {
    const EmbeddedBitmap* bitmap = findEmbeddedBitmap(id);
    if (!bitmap) {
        BmpImage missing;
        missing.error = "no resource";
        return missing;
    }
    return BmpImage::decode(bitmap->data, bitmap->size);
}

inline uint32_t rgbOf(UiColor c) { return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue; }

// Counts the pixels of area in the window that differ from the image's pixels starting at (fromX, fromY).
inline int mismatches(HeadlessWindow* window, const UiRect& area, const BmpImage& image, int fromX, int fromY) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (rgbOf(window->pixel(x, y)) != image.at(fromX + x - area.left, fromY + y - area.top)) ++count;
    return count;
}
