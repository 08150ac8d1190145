// Root of the widget tree and its child window inside the host's window.
// Split: children, routing, drawing passes, edits in gui/core/PluginWindow.cpp; the OS half in gui/platform/<backend>/PluginWindowNative.cpp.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/core/HostWindowRecord.h"
#include "gui/core/UiScale.h"
#include "gui/core/Widget.h"
#include "gui/core/WindowWatch.h"

class DrawSurface;
class GuiEditor;
class Pixmap;
class ValueControl;

class PluginWindow : public Widget {
public:
    // Embedded in the host's parent window; creates the child window at once, of the bounds' size at the
    // scale (percent: 100, 150 or 200; anything else is 100).
    PluginWindow(const UiRect& bounds, NativeHandle parentWindow, GuiEditor* editor, int32_t scale = uiscale::kUnit);
    // Standalone: asks the host for a top-level window when openWindow is called.
    PluginWindow(const UiRect& bounds, const char* title, GuiEditor* editor, int32_t style);
    ~PluginWindow() override;

    void draw(DrawSurface* surface) override;
    void drawArea(DrawSurface* surface, const UiRect& area) override;
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override;
    void update(DrawSurface* surface) override;
    int32_t onKeyDown(const UiKey& key) override;
    int32_t onKeyUp(const UiKey& key) override;
    bool onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) override;
    bool acceptsDrop(int32_t kind, const UiPoint& where) override;
    bool onWheel(DrawSurface* surface, const UiPoint& where, float distance) override;
    GuiEditor* getEditor() override;

    virtual bool addChild(Widget* widget);  // not retained
    virtual bool removeChild(Widget* widget, bool releaseIt);
    virtual bool removeAllChildren(bool releaseIt);
    virtual bool isChild(Widget* widget);
    virtual int32_t getChildCount();
    virtual Widget* getChild(int32_t index);

    // Used by the editor.
    void setBackground(Pixmap* pixmap);
    Pixmap* getBackground() const { return background; }
    void idle();  // updates dirty widgets, never before the first paint
    void redrawWidget(Widget* widget);  // null or a non-child: the whole window

    // The scale the window maps drawing and the mouse with; widgets keep panel units whatever it is.
    int32_t getScale() const { return scale; }
    // Device size of the bounds at the window's scale.
    int32_t getDeviceWidth() const { return uiscale::toDevice(bounds.width(), scale); }
    int32_t getDeviceHeight() const { return uiscale::toDevice(bounds.height(), scale); }
    // Resizes the open window for another scale through the host when it can "sizeWindow", else through
    // the window chain, tells every widget and redraws it all; false (nothing changed) when the host
    // refuses, when closed, or for the scale in use or one that is not a step.
    bool setScale(int32_t percent);

    // A widget, not a child, that takes secondary-button clicks before the children (a context menu);
    // retained; null removes it.
    void setContextMenu(Widget* menu);

    // Used by widgets and controls.
    bool getCursorPosition(UiPoint& where);  // window coordinates
    Widget* widgetUnderCursor();
    uint32_t getTicks();  // 0 without an editor
    void runEditorIdle();
    int32_t getKnobMode();
    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);
    void setFocusWidget(Widget* widget);
    Widget* getFocusWidget() const { return focusWidget; }
    bool setModalWidget(Widget* widget);
    Widget* getModalWidget() const { return modalWidget; }
    void setCursor(int32_t kind);
    void invalidate(const UiRect& area);
    bool isAnythingDirty();

    // Drags on a window whose mouse arrives as events: the control that started one is followed here
    // until a step without MouseLeft (or cancelDrag) ends it. A modal drag loop marks its control here
    // while it runs. While a drag is on, presses start nothing. Backend: whether drags work by events.
    bool followsDragEvents();
    void followDrag(ValueControl* control);
    bool isDragging() const { return dragControl != nullptr; }
    // The backend's events: the cursor at where (window coordinates) with the buttons and modifiers then.
    void dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons);
    // The drag ends where it is (the window went away under it): the host hears the end of the gesture.
    void cancelDrag();

    // Drag and drop, host frames, resizing, standalone mode.
    bool setDropActive(bool flag);
    NativeHandle findHostFrame();
    bool getPosition(int32_t& x, int32_t& y);
    bool getSize(UiRect& area);
    bool setSize(int32_t width, int32_t height);
    bool openWindow(const UiPoint* position);  // null: the position in the record
    bool closeWindow();

    bool createChildWindow(NativeHandle parent);
    bool isOpen() const { return open; }
    bool isFirstDrawPending() const { return firstDrawPending; }
    NativeHandle getChildWindow() const { return childWindow; }
    NativeHandle getParentWindow() const { return parentWindow; }
    HostWindowRecord* getHostWindowRecord() const { return hostWindowRecord; }
    // Ends (is marked closed) when the window is destroyed; see WindowWatch.
    WindowLifeline* getLifeline() const { return lifeline; }

    // Called by the backend's window procedure.
    void onNativeDestroy() {
        open = false;
        parentWindow = nullptr;
    }

protected:
    GuiEditor* editor = nullptr;  // not owned
    NativeHandle parentWindow = nullptr;
    Pixmap* background = nullptr;  // retained
    int32_t childCount = 0;
    int32_t childCapacity = 0;
    Widget** children = nullptr;  // insertion order, not retained
    Widget* modalWidget = nullptr;
    Widget* focusWidget = nullptr;
    bool firstDrawPending = true;
    bool open = true;
    bool dropActive = false;
    int32_t scale = uiscale::kUnit;  // percent
    Widget* contextMenu = nullptr;   // retained
    NativeHandle childWindow = nullptr;
    NativeHandle blendLibrary = nullptr;
    DrawSurface* currentSurface = nullptr;  // owned; when set, drawing entry points use it
    bool standalone = false;
    HostWindowRecord* hostWindowRecord = nullptr;  // owned, standalone mode only
    NativeHandle savedCursor = nullptr;
    NativeHandle nativeState = nullptr;  // backend-private (the drop registration, the headless window record)
    WindowLifeline* lifeline = WindowWatch::createLifeline();
    ValueControl* dragControl = nullptr;  // a child, while its event-driven drag lasts

private:
    // Drop routing: asks the mouse-enabled children whose bounds hold where, last first, until one answers true.
    bool askDropChildren(const UiPoint& where, const std::function<bool(Widget*)>& ask);
    // Backend: the blending library and its entry points (embedded construction only).
    void loadBlendLibrary();
    void freeBlendLibrary();
    // Backend: clears the child window's back pointer, destroys it, unregisters the class with the last one.
    void destroyChildWindow();
    // Backend: currentSurface when set, else a temporary surface over the child window (null without one);
    // endTemporarySurface deletes a temporary one and releases its context.
    DrawSurface* beginTemporarySurface();
    void endTemporarySurface(DrawSurface* surface);
    // Backend: resizing for setSize; the child window alone, or the chain of host windows around it.
    void resizeChildWindow(int32_t width, int32_t height);
    void resizeWindowChain(int32_t width, int32_t height);
    // Backend: brings the standalone window's frame to the top.
    void bringFrameToTop();
    // Backend: handles the window system's waiting events for the child window; a backend whose events
    // arrive through a host-driven message loop has nothing to do.
    void handleNativeEvents();
};
