// HostWindow: the top-level window a Windows host puts a plug-in editor in, and the picture a host
// reads back from it. Shared by vozuv-winhost and the Wine editor tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// How a host's window looks; each class name is registered once, with HostWindow::windowProc.
struct HostWindowLook {
    const char* className;
    DWORD style;  // WS_POPUP: no frame, the window is exactly the client size
    HBRUSH background;
    HCURSOR cursor;
};

// The client area of a window as 0xRRGGBB pixels, top row first.
struct HostWindowPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    // Packed R, G, B bytes, rows top to bottom (for PNG files and the bridge).
    std::vector<uint8_t> rgb() const {
        std::vector<uint8_t> bytes;
        bytes.reserve(pixels.size() * 3);
        for (uint32_t p : pixels) {
            bytes.push_back(static_cast<uint8_t>(p >> 16));
            bytes.push_back(static_cast<uint8_t>(p >> 8));
            bytes.push_back(static_cast<uint8_t>(p));
        }
        return bytes;
    }
};

class HostWindow {
  public:
    // A top-level window at (40, 40) whose client area is width x height, also where that is larger than
    // the screen; null when it cannot be made.
    static HWND create(const HostWindowLook& look, const char* title, int width, int height);
    // Gives the window a client area of width x height; false when the system made it another size.
    static bool setClientSize(HWND window, int width, int height);
    // The class's procedure: DefWindowProcA, but the window's size is never capped at the screen's, which
    // a framed window's default is (and Wine's screen may read 1024 x 768 until its desktop has started).
    // A window procedure put in its place passes on what it does not handle to this one.
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Reads the client area as it is on screen now; with redrawFirst the window and its children are
    // painted first. False (and the picture untouched) when there is nothing to read.
    static bool capture(HWND window, bool redrawFirst, HostWindowPicture& picture);
};
