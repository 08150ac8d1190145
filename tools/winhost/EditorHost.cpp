// EditorHost: the editor window of vozuv-winhost and its screenshot.
#include "tools/winhost/EditorHost.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/hostloader/PngEncoder.h"

namespace {

constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleMilliseconds = 20;
const char* const kWindowClass = "VozuvWinHostEditor";

PluginHost* editorHost = nullptr;
bool editorOpen = false;

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kIdleTimer && editorHost && editorOpen) editorHost->dispatch(effEditIdle);
            return 0;
        case WM_CLOSE:
            if (editorHost && editorOpen) {
                editorHost->dispatch(effEditClose);
                editorOpen = false;
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Outer window size for a client area of width x height.
SIZE outerSize(HWND window, int width, int height) {
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Copies the client area, children included, as RGB rows.
bool captureClient(HWND window, const std::string& path) {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        const auto* bgra = static_cast<const uint8_t*>(bits);
        std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
            rgb[3 * i] = bgra[4 * i + 2];
            rgb[3 * i + 1] = bgra[4 * i + 1];
            rgb[3 * i + 2] = bgra[4 * i];
        }
        ok = PngEncoder::writeFile(path, rgb.data(), width, height, 3);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

void pumpFor(DWORD milliseconds, bool& quit) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!quit && GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

int runEditor(const WinHostArguments& arguments) {
    PluginLibrary library;
    if (!library.open(arguments.plugin)) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", library.error().c_str());
        return 3;
    }
    HostConfig config;
    config.canSizeWindow = arguments.sizeWindow;
    HWND window = nullptr;
    config.sizeWindow = [&window](int width, int height) {
        if (!window) return false;
        const SIZE outer = outerSize(window, width, height);
        return SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER) != 0;
    };
    PluginHost host(config);
    if (!host.instantiate(library.entry())) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", host.error().c_str());
        return 4;
    }
    editorHost = &host;
    AEffect* effect = host.effect();
    host.dispatch(effOpen);
    host.setSampleRate(44100.0f);
    host.setBlockSize(512);
    if (arguments.program >= 0) host.setProgram(arguments.program);
    for (const auto& setting : arguments.settings) {
        VstInt32 index = host.findParameter(setting.first);
        if (index < 0) {
            char* end = nullptr;
            const long n = std::strtol(setting.first.c_str(), &end, 10);
            index = (*end == 0 && n >= 0 && n < effect->numParams) ? static_cast<VstInt32>(n) : -1;
        }
        if (index < 0) {
            std::fprintf(stderr, "vozuv-winhost: no parameter %s\n", setting.first.c_str());
            return 2;
        }
        host.setParameter(index, setting.second);
    }
    host.setMains(true);

    if (!(effect->flags & effFlagsHasEditor)) {
        std::fprintf(stderr, "vozuv-winhost: the plug-in has no editor (flags 0x%x)\n",
                     static_cast<unsigned>(effect->flags));
        return 6;
    }
    ERect* rect = nullptr;
    if (host.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        std::fprintf(stderr, "vozuv-winhost: the editor gives no rectangle\n");
        return 6;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    window = CreateWindowExA(0, kWindowClass, "VozuvAzirOVA", style, 40, 40, outer.right - outer.left,
                             outer.bottom - outer.top, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        std::fprintf(stderr, "vozuv-winhost: cannot create the host window\n");
        return 6;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    host.dispatch(effEditOpen, 0, 0, window);
    editorOpen = true;
    SetTimer(window, kIdleTimer, kIdleMilliseconds, nullptr);

    bool quit = false;
    if (arguments.seconds >= 0) {
        pumpFor(static_cast<DWORD>(arguments.seconds * 1000.0), quit);
    } else {
        while (!quit) pumpFor(1000, quit);
    }
    int status = 0;
    if (!quit && !arguments.screenshot.empty()) {
        if (!captureClient(window, arguments.screenshot)) {
            std::fprintf(stderr, "vozuv-winhost: cannot save the screenshot %s\n", arguments.screenshot.c_str());
            status = 7;
        }
    }
    if (!quit) {
        KillTimer(window, kIdleTimer);
        if (editorOpen) host.dispatch(effEditClose);
        editorOpen = false;
        DestroyWindow(window);
    }
    host.setMains(false);
    if (arguments.listRequests) {
        for (const HostRequest& r : host.requests()) {
            std::fprintf(stderr, "request %d index %d value %lld opt %g%s%s\n", r.opcode, r.index,
                         static_cast<long long>(r.value), static_cast<double>(r.opt), r.text.empty() ? "" : " text ",
                         r.text.c_str());
        }
    }
    host.close();
    editorHost = nullptr;
    return status;
}
