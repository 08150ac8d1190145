// The editor's X11 child window: its own connection, the Cairo image it shows, events and pointer.
#pragma once

#include "gui/core/UiTypes.h"

#include "gui/platform/x11/XlibHeaders.h"

#include <cstdint>
#include <memory>

class HeadlessWindow;
class ImageUpload;
class PluginWindow;

// One child window of the host's parent, on a connection of its own that lives as long as the window.
// The toolkit draws into `image` (an off-screen window of the Cairo drawing code, so the pixels are those
// of the headless backend) and the changed pixels are copied to the X window. Events are read when the
// host idles the editor: exposures repaint; presses, drags (motion and release) and the wheel go to the
// plug-in window.
class X11EditorWindow {
public:
    // Null when no display can be opened or parent is not a window of it.
    static X11EditorWindow* create(Window parent, int32_t width, int32_t height, PluginWindow* owner);
    ~X11EditorWindow();  // destroys the window (unless the host did) and closes the connection
    X11EditorWindow(const X11EditorWindow&) = delete;
    X11EditorWindow& operator=(const X11EditorWindow&) = delete;

    // The live window whose image is backing; null when none.
    static X11EditorWindow* fromImage(const void* backing);
    static X11EditorWindow* first();
    // The first window, in creation order, with an exposure waiting paints it; false when none.
    static bool paintFirstExposed();

    HeadlessWindow* image() const { return image_; }
    Display* display() const { return display_; }
    Window window() const { return window_; }
    bool isGone() const { return gone_; }

    // Reads every waiting event. A drag a press started takes one step for each run of motions (at the
    // last) and ends with the release. When no event moved it, one look at the pointer ends a drag whose
    // release never reached this window and hands on modifiers changed without a move: a fader re-anchors
    // at once, a knob counts them from its next move. A press of another button during a drag starts
    // nothing. While a press, the wheel or a drag step is being handled (the host may idle us from inside
    // its requests) only exposures and the window's destruction are handled; further input is dropped.
    void handleEvents();
    // Paints the area the server reported exposed, if any (the paint message of a mouse loop's idle).
    bool paintExposed();
    // Copies what the toolkit drew to the window.
    void show();
    // New size of the window, its image and its upload buffer (the picture is drawn again by the caller).
    void resize(int32_t width, int32_t height);

    // Pointer: root coordinates, and the buttons and modifiers as toolkit bits. Just after a press is
    // handed to the plug-in window, the first two polls answer the press's own state (the window's routing
    // and the control's first look), so a click the host idled late still reads as a click.
    UiPoint pointer();
    int32_t pollButtons();
    UiPoint screenOrigin();
    // Waits for a second press of the left button within the double-click time; false when the pointer
    // leaves a 5 by 5 box first.
    bool waitForSecondClick();

    void setCursorShape(int32_t kind);
    uint32_t doubleClickTime() const { return doubleClickTime_; }

private:
    X11EditorWindow() = default;
    bool open(Window parent, int32_t width, int32_t height);
    // True when the event moved a drag.
    bool dispatch(XEvent& event);
    // The last of the motions of this window with motion's state queued right behind it (taken off the
    // queue), or motion.
    XMotionEvent lastQueuedMotion(XMotionEvent motion);
    void pressAt(const XButtonEvent& press);
    // A drag is on and no press, wheel or step is being handled.
    bool takesDragSteps() const;
    // One step of the plug-in window's drag: at an event's position, or (null) where the pointer is now.
    void dragStep(const UiPoint* where, int32_t buttons);
    void queryPointer();

    Display* display_ = nullptr;
    Window window_ = 0;
    Window root_ = 0;
    GC gc_ = nullptr;
    Colormap colormap_ = 0;
    Visual* visual_ = nullptr;
    Cursor cursors_[7] = {};
    std::unique_ptr<ImageUpload> upload_;
    HeadlessWindow* image_ = nullptr;
    PluginWindow* owner_ = nullptr;
    bool gone_ = false;
    bool shown_ = false;
    UiRect exposed_;
    UiRect lost_;
    int32_t pressDepth_ = 0;
    int32_t pressPolls_ = 0;
    int32_t pressState_ = 0;
    Time pressTime_ = 0;
    uint32_t doubleClickTime_ = 400;
    UiPoint pointer_;
    int32_t buttons_ = 0;
    UiPoint origin_;  // the window's screen position when last asked
    int32_t stepButtons_ = 0;  // buttons and modifiers of the last drag step
};
