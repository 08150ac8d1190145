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

}  // namespace

bool moveTo(POINT where) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    auto send = [&] {
        sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(where.x, w), normalised(where.y, h));
    };
    auto there = [where] {
        POINT now{-1, -1};
        GetCursorPos(&now);
        return now.x == where.x && now.y == where.y;
    };
    const DWORD start = GetTickCount();
    DWORD steadySince = 0;
    send();
    while (GetTickCount() - start < 1000) {
        if (!there()) {
            if (steadySince != 0) send();  // pulled away after arriving: move again
            steadySince = 0;
        } else if (steadySince == 0) {
            steadySince = GetTickCount();
        } else if (GetTickCount() - steadySince >= 60) {
            return true;
        }
        Sleep(2);
    }
    return false;
}

void pressLeft() { sendMouse(MOUSEEVENTF_LEFTDOWN); }
void releaseLeft() { sendMouse(MOUSEEVENTF_LEFTUP); }

void key(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

bool holdKey(WORD virtualKey) {
    auto down = [virtualKey] { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; };
    const DWORD start = GetTickCount();
    DWORD steadySince = 0;
    key(virtualKey, true);
    while (GetTickCount() - start < 1000) {
        if (!down()) {
            key(virtualKey, true);
            steadySince = 0;
        } else if (steadySince == 0) {
            steadySince = GetTickCount();
        } else if (GetTickCount() - steadySince >= 100) {
            return true;
        }
        Sleep(5);
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
