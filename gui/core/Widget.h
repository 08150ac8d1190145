// Base of everything visible: bounds, dirty flag, reference count and the virtual operations.
// Split: all neutral, in gui/core/Widget.cpp.
#pragma once

#include <cstdint>

#include "gui/core/UiTypes.h"

class DrawSurface;
class GuiEditor;
class PluginWindow;
class WidgetGroup;

// Messages between widgets are told apart by the address of these constants, not by their text.
extern const char kMsgCheckIfViewContainer[];  // a widget group answers 1

class Widget {
public:
    explicit Widget(const UiRect& bounds);
    virtual ~Widget();

    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual void draw(DrawSurface* surface);
    virtual void drawArea(DrawSurface* surface, const UiRect& area);
    virtual bool overlaps(const UiRect& area);  // edges inclusive
    virtual void onMouseDown(DrawSurface* surface, const UiPoint& where);
    virtual void update(DrawSurface* surface);
    virtual int32_t notify(Widget* sender, const char* message);
    virtual int32_t onKeyDown(const UiKey& key);  // -1: not handled
    virtual int32_t onKeyUp(const UiKey& key);
    virtual bool onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where);
    virtual bool onWheel(DrawSurface* surface, const UiPoint& where, float distance);
    virtual void loseFocus(DrawSurface* surface);
    virtual void takeFocus(DrawSurface* surface);
    virtual bool isDirty();
    virtual void setDirty(bool flag);
    virtual void setMouseEnabled(bool flag);
    virtual bool isMouseEnabled();
    virtual void setMouseArea(const UiRect& area);
    virtual void getMouseArea(UiRect& area);
    virtual bool hitTest(const UiPoint& where, int32_t buttons);  // edges inclusive, buttons ignored
    virtual void setTransparent(bool flag);
    virtual bool isTransparent();
    virtual void setBounds(const UiRect& area);
    virtual void getBounds(UiRect& area);
    virtual void setParentGroup(WidgetGroup* group);
    virtual void setWindow(PluginWindow* window);
    virtual GuiEditor* getEditor();
    virtual bool onRemoved(Widget* parent);
    virtual bool onAttached(Widget* parent);
    // The window's scale changed: what was made for the old one (an off-screen bitmap) is made again.
    virtual void onScaleChanged();
    virtual void release();  // the last reference deletes the widget
    virtual void retain();
    virtual int32_t getRetainCount();
    // Whether onDrop with this kind of data at this point would be accepted; asked while a drag hovers.
    virtual bool acceptsDrop(int32_t kind, const UiPoint& where);

    // Draws this widget through its window at once.
    void redraw();

    PluginWindow* getWindow() const { return window; }
    WidgetGroup* getParentGroup() const { return parentGroup; }

protected:
    int32_t retainCount = 1;
    UiRect bounds;     // in the parent's coordinates
    UiRect mouseArea;  // drop and wheel target area
    PluginWindow* window = nullptr;
    WidgetGroup* parentGroup = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
};
