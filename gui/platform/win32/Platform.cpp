// The seam's free functions on Win32: tick count, sleep, OLE initialisation, one paint dispatch, the
// display scale (getSystemScale) and the per-user settings in the registry (readUserSetting,
// writeUserSetting, after the environment's override).
#include "gui/core/Platform.h"

#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "gui/core/UserSettingNames.h"

uint32_t platform::getTicks() { return GetTickCount(); }

void platform::sleepFor(uint32_t milliseconds) { Sleep(milliseconds); }

void platform::initialiseOle() { (void)OleInitialize(nullptr); }

void platform::uninitialiseOle() { OleUninitialize(); }

void platform::dispatchOnePaintMessage() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

uint32_t platform::getDoubleClickTime() { return GetDoubleClickTime(); }

namespace {

// user32 entry points of Windows 10 1607 and later, looked up by name so the DLL loads on older systems.
using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using ThreadDpiContext = HANDLE(WINAPI*)();
using WindowDpiContext = HANDLE(WINAPI*)(HWND);
using AwarenessOfContext = int(WINAPI*)(HANDLE);

template <typename Function>
Function user32Entry(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The environment's override of a setting into text; false when there is none. The process's block,
// not a C runtime's copy of it, so a host program's SetEnvironmentVariable counts.
bool overrideOf(const char* name, char (&text)[32]) {
    char variable[usersettings::kOverrideNameSize];
    const int written = std::snprintf(variable, sizeof variable, "%s%s", usersettings::kOverridePrefix, name);
    if (written <= 0 || size_t(written) >= sizeof variable) return false;
    SetLastError(ERROR_SUCCESS);  // an empty variable answers 0 and leaves the error as it was
    const DWORD length = GetEnvironmentVariableA(variable, text, sizeof text);
    if (length >= sizeof text) text[0] = '\0';  // too long to be a number: present, but no value
    return length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace

double platform::getSystemScale(NativeHandle parentWindow) {
    // A window of a DPI-unaware host reports 96 (Windows stretches it itself): then we stay at 100 %.
    UINT dpi = 0;
    auto awareness = user32Entry<AwarenessOfContext>("GetAwarenessFromDpiAwarenessContext");
    if (parentWindow) {
        HWND window = static_cast<HWND>(parentWindow);
        auto context = user32Entry<WindowDpiContext>("GetWindowDpiAwarenessContext");
        const bool unaware = context && awareness && awareness(context(window)) == 0;
        auto forWindow = user32Entry<DpiForWindow>("GetDpiForWindow");
        if (!unaware && forWindow) dpi = forWindow(window);
    } else {
        // Before the host gives a window: the system's DPI when the host's thread is DPI-aware.
        auto context = user32Entry<ThreadDpiContext>("GetThreadDpiAwarenessContext");
        auto forSystem = user32Entry<DpiForSystem>("GetDpiForSystem");
        if (context && awareness && forSystem && awareness(context()) > 0) dpi = forSystem();
    }
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

bool platform::readUserSetting(const char* name, int32_t& value) {
    if (!name) return false;
    char given[32] = {};
    if (overrideOf(name, given)) return usersettings::parseValue(given, value);
    DWORD data = 0, type = 0, size = sizeof data;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, usersettings::kRegistryKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return false;
    value = static_cast<int32_t>(data);
    return true;
}

bool platform::writeUserSetting(const char* name, int32_t value) {
    char given[32] = {};
    if (!name || overrideOf(name, given)) return false;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, usersettings::kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    const LONG status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
