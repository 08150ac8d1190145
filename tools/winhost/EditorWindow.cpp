// EditorWindow: the host window around a plug-in editor, its idle timer and its screenshot.
#include "tools/winhost/EditorWindow.h"

#include "tools/hostloader/PluginHost.h"
#include "tools/hostwindow/HostWindow.h"

namespace {

constexpr UINT_PTR kIdleTimer = 1;

HostWindowLook look() {
    return HostWindowLook{"VozuvWinHostEditor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                          reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadCursor(nullptr, IDC_ARROW)};
}

}  // namespace

LRESULT CALLBACK EditorWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<EditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        switch (message) {
            case WM_TIMER:
                if (wParam == kIdleTimer && self->editorOpen) {
                    self->host.dispatch(effEditIdle);
                    ++self->idles;
                }
                return 0;
            case WM_CLOSE:
                // The user closes the window: the editor goes first, as in a host.
                self->userClosed = true;
                self->close();
                return 0;
            default:
                break;
        }
    }
    return HostWindow::windowProc(window, message, wParam, lParam);
}

bool EditorWindow::open(std::string& error) {
    if (window) return true;
    AEffect* effect = host.effect();
    if (!effect || !(effect->flags & effFlagsHasEditor)) {
        error = "the plug-in has no editor (flags 0x" +
                std::to_string(effect ? static_cast<unsigned>(effect->flags) : 0u) + ")";
        return false;
    }
    ERect* rect = nullptr;
    if (host.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        error = "the editor gives no rectangle";
        return false;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0) {
        error = "the editor's rectangle is empty (" + std::to_string(width) + " x " + std::to_string(height) +
                ")";
        return false;
    }

    window = HostWindow::create(look(), "VozuvAzirOVA", width, height);
    if (!window) {
        error = "cannot create the editor window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorWindow::windowProc));
    userClosed = false;
    idles = 0;
    // The editor may ask to be resized (audioMasterSizeWindow): the client area follows.
    host.config().sizeWindow = [this](int w, int h) {
        return window && HostWindow::setClientSize(window, w, h);
    };
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    host.dispatch(effEditOpen, 0, 0, window);
    editorOpen = true;
    SetTimer(window, kIdleTimer, kIdleMilliseconds, nullptr);
    return true;
}

void EditorWindow::closeEditor() {
    if (!editorOpen) return;
    KillTimer(window, kIdleTimer);
    host.dispatch(effEditClose);
    editorOpen = false;
}

void EditorWindow::close() {
    if (!window) return;
    closeEditor();
    host.config().sizeWindow = nullptr;
    HWND closing = window;
    window = nullptr;
    SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
    DestroyWindow(closing);
}

bool EditorWindow::pump(DWORD milliseconds, HANDLE handle) {
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for whoever owns the loop
                return false;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (userClosed) return false;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return true;
        const DWORD wait = milliseconds - elapsed < 10 ? milliseconds - elapsed : 10;
        const DWORD woke =
            MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE, wait, QS_ALLINPUT);
        if (handle && woke == WAIT_OBJECT_0) return true;
    }
}

bool EditorWindow::pumpIdles(unsigned count) {
    const unsigned target = idles + count;
    // Timer messages come only when the queue is otherwise empty; a generous bound keeps a stalled
    // editor from hanging the host.
    const DWORD limit = GetTickCount() + count * kIdleMilliseconds * 10 + 2000;
    while (idles < target) {
        if (!pump(kIdleMilliseconds)) return false;
        if (static_cast<LONG>(GetTickCount() - limit) > 0) break;
    }
    return true;
}

bool EditorWindow::capture(HostWindowPicture& picture) {
    return HostWindow::capture(window, true, picture);
}
