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

}  // namespace

// Where moveTo last put the cursor, in SendInput's absolute coordinates.
std::atomic<LONG> targetX{-1}, targetY{-1};

bool moveTo(POINT where) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    targetX.store(normalised(where.x, w));
    targetY.store(normalised(where.y, h));
    return keepSteady(
        [&] { sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(where.x, w), normalised(where.y, h)); },
        [where] {
            POINT now{-1, -1};
            GetCursorPos(&now);
            return now.x == where.x && now.y == where.y;
        },
        150);  // longer than the 100 ms in which Wine reports its own idea of the position, not the X server's
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
    return keepSteady([virtualKey] { key(virtualKey, true); },
                      [virtualKey] { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }, 100);
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
    pumpMessages();
    return inTime;
}

}  // namespace hostinput
