// X11EditorHost: the editor side of a Linux host: a top-level X11 window, the plug-in's editor opened in
// it with the window id, idle calls, and the window's picture read back from the server.
#pragma once

// Xlib with its Pixmap type renamed: it would clash with the toolkit's Pixmap class in programs that
// link both.
#define Pixmap XlibPixmap
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Pixmap

#include <cstdint>
#include <string>
#include <vector>

class PluginHost;

struct X11Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // packed rows, top to bottom
    uint32_t pixel(int x, int y) const {  // 0xRRGGBB
        const uint8_t* p = rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3;
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

class X11EditorHost {
public:
    // Connects to display (null: $DISPLAY). isConnected() tells whether it worked.
    explicit X11EditorHost(const char* display = nullptr);
    ~X11EditorHost();  // closes the editor and the window
    X11EditorHost(const X11EditorHost&) = delete;
    X11EditorHost& operator=(const X11EditorHost&) = delete;

    bool isConnected() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    Window parent() const { return parent_; }

    // effEditGetRect, a mapped top-level window of that size (no window manager needed), effEditOpen with
    // the window id. False with error() set when any step fails; the window stays for a retry.
    bool open(PluginHost& host, const std::string& title = "VozuvAzirOVA");
    bool isOpen() const { return host_ != nullptr; }
    // effEditClose; the window stays.
    void close();
    // Destroys the parent window (closing the editor first is up to the caller: hosts differ).
    void destroyParent();

    // One effEditIdle, then the host's own events (its window being closed ends isOpen()).
    void idle();
    // Idles every periodMs until done() is true or timeoutMs passed; answers done().
    template <typename Done>
    bool idleUntil(Done done, int timeoutMs = 10000, int periodMs = 30);

    // Windows inside the parent (XQueryTree), and the first of them (0 when none).
    int childCount() const;
    Window editorWindow() const;
    // The picture of a window (the editor's when 0), or false.
    bool capture(X11Picture& picture, Window window = 0) const;
    // Screen position of a point of a window.
    void toScreen(Window window, int x, int y, int& screenX, int& screenY) const;

    const std::string& error() const { return error_; }
    bool closeRequested() const { return closeRequested_; }

    static uint64_t nowMs();
    static void sleepMs(int ms);

private:
    Display* display_ = nullptr;
    Window parent_ = 0;
    Atom deleteAtom_ = 0;
    PluginHost* host_ = nullptr;
    bool closeRequested_ = false;
    std::string error_;
};

template <typename Done>
bool X11EditorHost::idleUntil(Done done, int timeoutMs, int periodMs) {
    const uint64_t end = nowMs() + uint64_t(timeoutMs);
    for (;;) {
        idle();
        if (done()) return true;
        if (nowMs() >= end) return false;
        sleepMs(periodMs);
    }
}
