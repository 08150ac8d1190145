// Test host, parent windows and pixel reading for the Win32 toolkit tests.
#include "GuiTestSupport.h"

#include <algorithm>
#include <cstring>

std::vector<VstInt32> TestHost::requests;
bool TestHost::canSizeWindow = false;
bool TestHost::acceptsSize = false;
HWND TestHost::openedWindow = nullptr;

COLORREF patternColour(int x, int y) {
    if (x < 10 && y >= 40 && y < 50) return RGB(255, 255, 255);
    return RGB(6 * x, 2 * y, 64);
}

void TestHost::reset() {
    requests.clear();
    canSizeWindow = false;
    acceptsSize = false;
    openedWindow = nullptr;
}

int TestHost::count(VstInt32 opcode) { return static_cast<int>(std::count(requests.begin(), requests.end(), opcode)); }

VstIntPtr VSTCALLBACK TestHost::callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float) {
    requests.push_back(opcode);
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterCanDo:
            return canSizeWindow && ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0;
        case audioMasterSizeWindow:
            return acceptsSize;
        case audioMasterOpenWindow: {
            // The host's own frame for a standalone editor, sized from the record.
            const char* record = static_cast<const char*>(ptr);
            int16_t geometry[4];
            std::memcpy(geometry, record + 128, sizeof geometry);
            openedWindow = CreateWindowExA(0, "STATIC", record, WS_POPUP | WS_VISIBLE, geometry[0], geometry[1],
                                           geometry[2], geometry[3], nullptr, nullptr, nullptr, nullptr);
            return reinterpret_cast<VstIntPtr>(openedWindow);
        }
        case audioMasterCloseWindow:
            if (openedWindow) DestroyWindow(openedWindow);
            openedWindow = nullptr;
            return 1;
        default:
            (void)value;
            return 0;
    }
}

TestPlugin::TestPlugin() : effect(new TestEffect), editor(new GuiEditor(effect)) {}

TestPlugin::~TestPlugin() { delete effect; }

namespace {

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* parentClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA description{};
        description.lpfnWndProc = parentProcedure;
        description.hInstance = GetModuleHandleA(nullptr);
        description.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        description.lpszClassName = "VozuvTestParent";
        RegisterClassA(&description);
        registered = true;
    }
    return "VozuvTestParent";
}

}  // namespace

ParentWindow::ParentWindow(int width, int height, DWORD style) {
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, style, FALSE);
    window = CreateWindowExA(0, parentClass(), "Host", style, 0, 0, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    pumpMessages();
}

ParentWindow::~ParentWindow() {
    DestroyWindow(window);
    pumpMessages();
}

HWND makeChildWindow(HWND parent, int x, int y, int width, int height) {
    return CreateWindowExA(0, parentClass(), "Frame", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool placeCursor(int x, int y) {
    // Steady for longer than the 100 ms in which Wine reports its own idea of the position instead of the
    // X server's, with the waiting messages handled all the while.
    const DWORD start = GetTickCount();
    DWORD steadySince = 0;
    SetCursorPos(x, y);
    while (GetTickCount() - start < 10000) {
        pumpMessages();
        POINT now{-1, -1};
        GetCursorPos(&now);
        if (now.x != x || now.y != y) {
            SetCursorPos(x, y);
            steadySince = 0;
        } else if (steadySince == 0) {
            steadySince = GetTickCount();
        } else if (GetTickCount() - steadySince >= 250) {
            return true;
        }
        Sleep(5);
    }
    return false;
}

COLORREF windowPixel(HWND window, int x, int y) {
    HDC context = GetDC(window);
    const COLORREF colour = GetPixel(context, x, y);
    ReleaseDC(window, context);
    return colour;
}

SIZE windowSize(HWND window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}
