// Shared helpers of the toolkit tests: a recording widget, a dragging value control and a surface without
// a device context.
#pragma once

#include <string>
#include <vector>

#include "gui/core/ControlListener.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/ValueControl.h"
#include "gui/core/Widget.h"

// Appends what happens to it to a shared log and counts live instances, so tests see order and lifetime.
class ProbeWidget : public Widget {
public:
    ProbeWidget(const UiRect& bounds, std::string name, std::vector<std::string>* log, int* alive = nullptr)
        : Widget(bounds), name(std::move(name)), log(log), alive(alive) {
        if (alive) ++*alive;
    }
    ~ProbeWidget() override {
        if (alive) --*alive;
    }

    void draw(DrawSurface* surface) override {
        record("draw");
        lastOffset = surface ? surface->offset : UiPoint{-999, -999};
        lastScreenOrigin = surface ? surface->screenOrigin : UiPoint{-999, -999};
        Widget::draw(surface);
    }
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override {
        record("mouse " + std::to_string(where.h) + "," + std::to_string(where.v));
        lastOffset = surface ? surface->offset : UiPoint{-999, -999};
    }
    int32_t onKeyDown(const UiKey&) override {
        record("key");
        return keyAnswer;
    }
    int32_t onKeyUp(const UiKey&) override {
        record("keyup");
        return keyAnswer;
    }
    bool onDrop(const char* const*, int32_t, int32_t, const UiPoint& where) override {
        record("drop " + std::to_string(where.h) + "," + std::to_string(where.v));
        return acceptsDrop;
    }
    bool onWheel(DrawSurface*, const UiPoint& where, float) override {
        record("wheel " + std::to_string(where.h) + "," + std::to_string(where.v));
        return true;
    }
    void loseFocus(DrawSurface*) override { record("loseFocus"); }
    bool onAttached(Widget*) override {
        record("attached");
        return true;
    }
    bool onRemoved(Widget*) override {
        record("removed");
        return true;
    }

    void record(const std::string& what) {
        if (log) log->push_back(name + ": " + what);
    }

    std::string name;
    std::vector<std::string>* log;
    int* alive;
    int32_t keyAnswer = -1;
    bool acceptsDrop = false;
    UiPoint lastOffset{-1, -1};
    UiPoint lastScreenOrigin{-1, -1};
};

// A value control that follows the cursor's horizontal position over its width, as the toolkit's editing
// controls do: begin-edit, loop on the primary button with pumpIdle, end-edit.
class DragControl : public ValueControl {
public:
    DragControl(const UiRect& bounds, ControlListener* listener, int32_t tag)
        : ValueControl(bounds, listener, tag, nullptr) {}

    void draw(DrawSurface*) override {
        ++draws;
        setDirty(false);
    }
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override {
        if (!isMouseEnabled() || !(surface->getMouseButtons() & MouseLeft)) return;
        window->beginEdit(tag);
        window->setFocusWidget(this);
        UiPoint at = where;
        while (surface->getMouseButtons() & MouseLeft) {
            value = float(at.h - bounds.left) / float(bounds.width());
            clampValue();
            if (isDirty() && listener) listener->valueChanged(surface, this);
            surface->getMousePosition(at);
            pumpIdle();
        }
        window->endEdit(tag);
    }
    // Lets tests clear the widget's flag alone, as some subclasses do.
    void clearFlagOnly() { dirty = false; }

    int draws = 0;
};

// Records every change a control reports.
class RecordingListener : public ControlListener {
public:
    void valueChanged(DrawSurface*, ValueControl* control) override {
        values.push_back(control->getValue());
        tags.push_back(control->getTag());
    }
    std::vector<float> values;
    std::vector<int32_t> tags;
};
