// Conversions between the toolkit's opaque handles and value types and their GDI and USER32 forms.
#pragma once

#include <windows.h>

#include "gui/core/Platform.h"
#include "gui/core/UiTypes.h"

namespace win32 {

inline HDC asDc(NativeHandle handle) { return static_cast<HDC>(handle); }
inline HWND asWindow(NativeHandle handle) { return static_cast<HWND>(handle); }
inline HBITMAP asBitmap(NativeHandle handle) { return static_cast<HBITMAP>(handle); }
inline HGDIOBJ asObject(NativeHandle handle) { return static_cast<HGDIOBJ>(handle); }

// The module that owns the bitmaps, the window class and the windows: the plug-in's instance, or in a
// program that links the toolkit directly, the program itself.
inline HINSTANCE moduleInstance() {
    void* instance = platform::getModuleInstance();
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

inline COLORREF toColorRef(const UiColor& colour) { return colour.rgb(); }
inline UiColor fromColorRef(COLORREF colour) {
    return UiColor{GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
}

}  // namespace win32
