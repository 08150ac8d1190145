// A widget that records what the window hands it: clicks, paints, drops and its removal.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/Widget.h"

class RecordingWidget : public Widget {
public:
    explicit RecordingWidget(const UiRect& bounds, bool acceptsDrops = true) : Widget(bounds), accepts(acceptsDrops) {}

    void draw(DrawSurface* surface) override {
        ++draws;
        Widget::draw(surface);
    }
    void drawArea(DrawSurface* surface, const UiRect& area) override {
        lastArea = area;
        draw(surface);
    }
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override {
        ++clicks;
        lastWhere = where;
        clickHadContext = surface && surface->deviceContext != nullptr;
        clickWindowHandle = surface ? surface->windowHandle : nullptr;
    }
    bool onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) override {
        ++drops;
        dropKind = kind;
        dropCount = count;
        lastWhere = where;
        dropped.clear();
        if (kind == DropText) {
            dropped.emplace_back(items[0]);
        } else {
            for (int32_t i = 0; i < count; ++i) dropped.emplace_back(items[i]);
        }
        return accepts;
    }
    bool acceptsDrop(int32_t, const UiPoint&) override { return accepts; }
    bool onRemoved(Widget* parent) override {
        // The drop target must already be gone when the window lets its children go.
        PluginWindow* owner = static_cast<PluginWindow*>(parent);
        HWND child = static_cast<HWND>(owner->getChildWindow());
        dropTargetAtRemoval = child ? GetPropA(child, "OleDropTargetInterface") : nullptr;
        if (removedFlag) *removedFlag = true;
        return true;
    }

    bool accepts;
    int draws = 0;
    int clicks = 0;
    int drops = 0;
    UiRect lastArea;
    UiPoint lastWhere;
    bool clickHadContext = false;
    NativeHandle clickWindowHandle = nullptr;
    int32_t dropKind = -1;
    int32_t dropCount = -1;
    std::vector<std::string> dropped;
    HANDLE dropTargetAtRemoval = nullptr;
    bool* removedFlag = nullptr;
};
