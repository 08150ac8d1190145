// The headless backend's window: an image of the client area behind the toolkit's window handle.
#pragma once

#include "gui/core/UiTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;
class PluginWindow;

// A window without a window system. It keeps the picture of its client area in an RGB24 image, a
// screen position, a parent, an update area and the plug-in window it serves (the user-data slot).
// Messages come from its caller: paint and mouseDown do what the plug-in's window procedure does for
// WM_PAINT and WM_xBUTTONDOWN. Tests and tools read the image, or write it as a PNG file.
class HeadlessWindow {
public:
    // A window inside parent, or a top-level one (a host's frame, say); parent may be another headless
    // window or any other non-null handle, which is then treated as a window of unknown size at (0, 0).
    // area: position and size in the parent's client coordinates (screen coordinates without a parent).
    HeadlessWindow(NativeHandle parent, const UiRect& area, bool caption = false);
    ~HeadlessWindow();  // sends the destroy message to this window and its children

    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    static bool isAlive(const void* handle);
    static HeadlessWindow* fromHandle(NativeHandle handle);  // null when not a live window
    NativeHandle handle() { return this; }

    // Client picture.
    cairo_surface_t* image() const { return image_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    UiColor pixel(int32_t x, int32_t y) const;  // alpha 0; black outside
    bool writePng(const std::string& path) const;

    // Geometry. Screen positions of children follow their parent's.
    UiPoint screenOrigin() const;
    UiRect screenRect() const;
    UiPoint position() const { return position_; }  // in the parent's client coordinates
    void moveTo(UiPoint position) { position_ = position; }
    // Keeps the pixels that stay inside, paints the new part with the class background and adds it to
    // the update area.
    void resize(int32_t width, int32_t height);
    HeadlessWindow* parentWindow() const;  // null for a foreign or absent parent
    NativeHandle parentHandle() const { return parent_; }
    bool hasCaption() const { return caption_; }
    std::string className;
    // A host's own paint handler, run when a window that serves no plug-in window is painted. A host may
    // do anything there, closing the editor or the plug-in among it.
    std::function<void()> hostPaint;

    // The plug-in window this child window serves (null before it is stored and after destruction).
    void setUserData(PluginWindow* window) { userData_ = window; }
    PluginWindow* userData() const { return userData_; }

    // Invalidation and painting. A new window is wholly invalid, as a visible Win32 window is.
    void invalidate(const UiRect& area);
    void invalidateAll();
    bool hasPendingPaint() const { return !pending_.isEmpty(); }
    UiRect pendingArea() const { return pending_; }
    // WM_PAINT: when anything (the pending area joined with area) needs painting, the plug-in window
    // draws it through a surface clipped to it; answers whether anything was painted.
    bool paint(const UiRect& area);
    bool paint();  // the whole client area
    // The first window, in creation order, with a pending update area paints it; false when none.
    static bool dispatchOnePendingPaint();

    // WM_LBUTTONDOWN / WM_MBUTTONDOWN / WM_RBUTTONDOWN at where (client coordinates). The button states
    // a control polls come from ScriptedInput.
    void mouseDown(int32_t button, UiPoint where);
    // Conveniences that script the input first: a press and release at where, or a drag through
    // points with the modifiers held; then the button-down message.
    void click(UiPoint where, int32_t modifiers = 0, int32_t button = MouseLeft);
    void drag(const std::vector<UiPoint>& path, int32_t modifiers = 0, int32_t button = MouseLeft);

    // Drop target: registered by the plug-in window's setDropActive. A drop of text or files is
    // delivered like the OLE drop target does it, at the cursor position; answers the widget's verdict,
    // false when no target is registered.
    void setDropTarget(bool registered) { dropRegistered_ = registered; }
    bool isDropTarget() const { return dropRegistered_; }
    bool dropText(const char* text, UiPoint screenWhere);
    bool dropFiles(const std::vector<std::string>& names, UiPoint screenWhere);

    // Message time of the last mouse message (for double-click waits).
    uint32_t messageTime() const { return messageTime_; }
    static uint32_t lastMessageTime();

    // Colour the class background brush (COLOR_BTNFACE) erases with.
    static constexpr uint32_t backgroundRgb = 0xF0F0F0;

    static int32_t liveWindowCount();

private:
    bool paintPending();

    uint32_t tag_;
    NativeHandle parent_ = nullptr;
    UiPoint position_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool caption_ = false;
    cairo_surface_t* image_ = nullptr;
    PluginWindow* userData_ = nullptr;
    UiRect pending_;
    bool dropRegistered_ = false;
    uint32_t messageTime_ = 0;
};
