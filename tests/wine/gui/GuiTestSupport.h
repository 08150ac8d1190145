// Shared pieces of the Win32 toolkit tests: a host with an effect and editor, real parent windows, pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/EffectBaseExt.h"
#include "framework/GuiEditor.h"
#include "gui/core/UiTypes.h"

// Resource 100: 42 by 120 pixels (three 40-row frames); pixel (x, y) is (6x, 2y, 64) except a white block
// at x 0..9, y 40..49.
constexpr int patternId = 100;
constexpr int patternWidth = 42;
constexpr int patternHeight = 120;
COLORREF patternColour(int x, int y);

// The opcodes the host saw, and what it answers.
struct TestHost {
    static std::vector<VstInt32> requests;
    static bool canSizeWindow;     // answers "sizeWindow" to audioMasterCanDo
    static bool acceptsSize;       // answer to audioMasterSizeWindow
    static HWND openedWindow;      // made for audioMasterOpenWindow, destroyed by audioMasterCloseWindow
    static void reset();
    static int count(VstInt32 opcode);
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float);
};

class TestEffect : public EffectBaseExt {
public:
    TestEffect() : EffectBaseExt(&TestHost::callback, 1, 1) {}
    void process(float**, float**, VstInt32) override {}
};

// An effect owning a GuiEditor, as a host would see them.
struct TestPlugin {
    TestPlugin();
    ~TestPlugin();
    TestEffect* effect;
    GuiEditor* editor;  // owned by the effect
};

// A visible top-level window of the given client size at the top-left corner of the desktop.
class ParentWindow {
public:
    ParentWindow(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE);
    ~ParentWindow();
    HWND handle() const { return window; }

private:
    HWND window;
};

// A plain child window inside parent, for window chains.
HWND makeChildWindow(HWND parent, int x, int y, int width, int height);

// Handles every waiting message of the thread (paints included).
void pumpMessages();

// Puts the cursor at a screen point and waits until it stays there. Wine hands the thread the pointer motion
// of an earlier move late, when it next reads its messages, and takes it for new input.
bool placeCursor(int x, int y);

// The pixel of a window's client area as it is on screen now.
COLORREF windowPixel(HWND window, int x, int y);

// The size of a window's screen rectangle.
SIZE windowSize(HWND window);
