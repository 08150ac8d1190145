// HostInput: SendInput helpers and the dispatching wait.
#include "tests/wine/editor/HostInput.h"

#include <atomic>
#include <thread>

namespace hostinput {

namespace {

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Absolute coordinates run 0..65535 over the primary screen; rounding up lands on the wanted pixel.
LONG normalised(LONG pixel, int extent) { return static_cast<LONG>((pixel * 65536LL + extent - 1) / extent); }

// Applies a change and waits until the system has shown it for steadyMs without a break, applying it again
// whenever the system takes it back. False when that does not happen within ten seconds: on a busy machine
// Wine may hand the dispatching thread the pointer motion of an earlier move late and take it for new input.
bool keepSteady(const std::function<void()>& apply, const std::function<bool()>& holds, DWORD steadyMs) {
    const DWORD start = GetTickCount();
    DWORD steadySince = 0;
    apply();
    while (GetTickCount() - start < 10000) {
        if (!holds()) {
            if (steadySince != 0) apply();
            steadySince = 0;
        } else if (steadySince == 0) {
            steadySince = GetTickCount();
        } else if (GetTickCount() - steadySince >= steadyMs) {
            return true;
        }
        Sleep(2);
    }
    return false;
}

constexpr UINT kSettleMessage = WM_APP + 0x5E7;

// A message-only window of the dispatching thread while runWhileDispatching runs: a message sent to it is
// handled in that thread's next message call, in the host's loop or in a control's modal loop alike.
std::atomic<HWND> dispatchingWindow{nullptr};

LRESULT CALLBACK dispatchingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSettleMessage) return DefWindowProcA(window, message, wParam, lParam);
    // Asking where the cursor is makes Wine ask this thread's X connection (a round trip once the cursor
    // has stood still for 100 ms): the events of its earlier requests, such as a focus change, have then
    // come. Its X11 driver then reads them, with the crossings of the pointer warps and the key states that
    // come with both, which lift the keys X does not see pressed.
    POINT cursor;
    GetCursorPos(&cursor);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    return 1;
}

HWND makeDispatchingWindow() {
    static const bool registered = [] {
        WNDCLASSA description{};
        description.lpfnWndProc = dispatchingWindowProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.lpszClassName = "VozuvHostInputDispatch";
        return RegisterClassA(&description) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, "VozuvHostInputDispatch", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Once the dispatching thread has read the X events of the moves made so far: a key held after this is no
// longer lifted by a crossing that came before it, however late that thread gets to run.
bool settleDispatchingThread() {
    HWND window = dispatchingWindow.load();
    DWORD_PTR handled = 0;
    return !window || SendMessageTimeoutA(window, kSettleMessage, 0, 0, SMTO_NORMAL, 10000, &handled) != 0;
}

}  // namespace

// Where moveTo last put the cursor, in SendInput's absolute coordinates.
std::atomic<LONG> targetX{-1}, targetY{-1};

bool moveTo(POINT where) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    targetX.store(normalised(where.x, w));
    targetY.store(normalised(where.y, h));
    // Steady for longer than the 100 ms in which Wine reports its own idea of the position: it has then asked
    // the X server, which has made the warp's crossings by the time it answers.
    return keepSteady(
               [&] {
                   sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(where.x, w), normalised(where.y, h));
               },
               [where] {
                   POINT now{-1, -1};
                   GetCursorPos(&now);
                   return now.x == where.x && now.y == where.y;
               },
               150) &&
           settleDispatchingThread();
}

namespace {
void buttonAtTarget(DWORD button) {
    if (targetX.load() < 0) return sendMouse(button);
    sendMouse(button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, targetX.load(), targetY.load());
}
}  // namespace

void pressLeft() { buttonAtTarget(MOUSEEVENTF_LEFTDOWN); }
void releaseLeft() { buttonAtTarget(MOUSEEVENTF_LEFTUP); }
void pressRight() { buttonAtTarget(MOUSEEVENTF_RIGHTDOWN); }
void releaseRight() { buttonAtTarget(MOUSEEVENTF_RIGHTUP); }

void key(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

bool holdKey(WORD virtualKey) {
    const auto isDown = [virtualKey] { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; };
    // Down, and still down once the dispatching thread has read every X event that might lift it.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!keepSteady([virtualKey] { key(virtualKey, true); }, isDown, 100)) return false;
        if (!settleDispatchingThread()) return false;
        if (isDown()) return true;
    }
    return false;
}

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(5);
    }
}

void pumpMessages() {
    MSG message;
    for (int i = 0; i < 5000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool runWhileDispatching(const std::function<void()>& gesture, DWORD timeoutMs) {
    std::atomic<bool> finished{false};
    HWND window = makeDispatchingWindow();
    dispatchingWindow.store(window);
    std::thread worker([&] {
        gesture();
        finished.store(true);
    });
    const DWORD start = GetTickCount();
    bool inTime = true;
    while (!finished.load()) {
        if (GetTickCount() - start >= timeoutMs) {
            inTime = false;
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    worker.join();  // the gesture is bounded: this ends even when the time ran out
    dispatchingWindow.store(nullptr);
    if (window) DestroyWindow(window);
    pumpMessages();
    return inTime;
}

}  // namespace hostinput
