// Nestable container of widgets with its own background, local coordinates and double buffering.
// Split: all neutral, in gui/core/WidgetGroup.cpp.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/core/Widget.h"

class OffscreenSurface;
class Pixmap;

enum UpdateMode : int32_t { UpdateWhole = 0, UpdateDirtyChildren = 1 };

class WidgetGroup : public Widget {
public:
    WidgetGroup(const UiRect& bounds, PluginWindow* window, Pixmap* background);
    ~WidgetGroup() override;

    void draw(DrawSurface* surface) override;
    void drawArea(DrawSurface* surface, const UiRect& area) override;
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override;
    void update(DrawSurface* surface) override;
    int32_t notify(Widget* sender, const char* message) override;
    int32_t onKeyDown(const UiKey& key) override;
    int32_t onKeyUp(const UiKey& key) override;
    bool onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) override;
    bool acceptsDrop(int32_t kind, const UiPoint& where) override;
    bool onWheel(DrawSurface* surface, const UiPoint& where, float distance) override;
    void loseFocus(DrawSurface* surface) override;
    void takeFocus(DrawSurface* surface) override;
    bool isDirty() override;
    void setBounds(const UiRect& area) override;
    bool onRemoved(Widget* parent) override;
    bool onAttached(Widget* parent) override;
    void onScaleChanged() override;  // its own bitmap and every child's

    virtual void addChildWithMouseArea(Widget* widget, const UiRect& mouseArea, bool mouseEnabled);
    virtual void addChild(Widget* widget);
    virtual void removeChild(Widget* widget, bool releaseIt);
    virtual void removeAllChildren(bool releaseIt);
    virtual bool isChild(Widget* widget);
    virtual int32_t getChildCount();
    virtual Widget* getChild(int32_t index);
    virtual void setBackgroundColour(UiColor colour);
    virtual void getBackgroundColour(UiColor& colour);
    virtual void setBackgroundPixmap(Pixmap* pixmap);
    virtual Pixmap* getBackgroundPixmap();
    virtual void setBackgroundOffset(const UiPoint& point);
    virtual UiPoint getBackgroundOffset();
    virtual void setUpdateMode(int32_t mode);
    virtual int32_t getUpdateMode();
    virtual void setDoubleBuffered(bool flag);

    // The last-added child whose mouse area holds the window's cursor position (edges inclusive).
    Widget* widgetUnderCursor();

    bool isDoubleBuffered() const { return doubleBuffered; }
    OffscreenSurface* getOffscreen() const { return offscreen; }

protected:
    // Background under a local area: the pixmap (transparently when the group is transparent) or the colour.
    void drawBackgroundArea(DrawSurface* target, const UiRect& localArea);

private:
    struct Node {
        Widget* widget;  // one reference, held from the node's making to its destruction
        Node* next;
        Node* previous;
    };

    // Moves a surface's origin to the group's top-left corner; restore puts the saved values back.
    struct SavedOrigin {
        UiPoint screenOrigin;
        UiPoint offset;
    };
    SavedOrigin moveOrigin(DrawSurface* surface);
    static void restoreOrigin(DrawSurface* surface, const SavedOrigin& saved);
    UiPoint toLocal(const UiPoint& where) const;
    // Drop routing: asks the children under where, last first, until one answers true.
    bool askDropChildren(const UiPoint& where, const std::function<bool(Widget*, const UiPoint&)>& ask);
    void ensureOffscreen();
    void deleteOffscreen();
    void unlinkAndDestroy(Node* node, bool releaseIt);

    Node* firstNode = nullptr;
    Node* lastNode = nullptr;
    Pixmap* background = nullptr;  // retained
    int32_t updateMode = UpdateWhole;
    OffscreenSurface* offscreen = nullptr;  // owned
    UiColor backgroundColour = colourBlack;
    UiPoint backgroundOffset;
    bool doubleBuffered = true;
};
