// The MSIMG32 blit entry points, bound at run time so the module loads where the library is missing.
#pragma once

#include <windows.h>

class BlendLibrary {
public:
    using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

    // Resets both entry points, loads "msimg32.dll" and binds what the system offers; TransparentBlt
    // only on the NT family. Returns the library (null when it could not be loaded) for FreeLibrary.
    static HMODULE load();

    // Releases a library returned by load; when no window holds it any more, the entry points go back to
    // null so nothing calls into an unloaded library.
    static void unload(HMODULE library);

    // Both entry points back to null, as before the first load; tests use it to take the mask route.
    static void reset();

    // Process-wide; null when unavailable. Written only while a plug-in window is being constructed.
    static TransparentBltFunction transparentBlt;
    static AlphaBlendFunction alphaBlend;

private:
    static int holders;  // windows that hold the library loaded
};
