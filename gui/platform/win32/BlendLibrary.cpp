// Run-time binding of TransparentBlt and AlphaBlend from msimg32.dll.
#include "gui/platform/win32/BlendLibrary.h"

BlendLibrary::TransparentBltFunction BlendLibrary::transparentBlt = nullptr;
BlendLibrary::AlphaBlendFunction BlendLibrary::alphaBlend = nullptr;
int BlendLibrary::holders = 0;

namespace {

// Windows 9x has no working TransparentBlt; only the NT family (platform id 2 and above) gets it.
bool isNtFamily() {
    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = 156;  // the extended record
    static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
#pragma GCC diagnostic pop
    return known && version.dwPlatformId >= 2;
}

template <typename Function>
Function bind(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

HMODULE BlendLibrary::load() {
    reset();
    HMODULE library = LoadLibraryA("msimg32.dll");
    if (library) {
        ++holders;
        alphaBlend = bind<AlphaBlendFunction>(library, "AlphaBlend");
        if (isNtFamily()) transparentBlt = bind<TransparentBltFunction>(library, "TransparentBlt");
    }
    return library;
}

void BlendLibrary::unload(HMODULE library) {
    if (!library) return;
    FreeLibrary(library);
    if (holders > 0 && --holders == 0) reset();
}

void BlendLibrary::reset() {
    transparentBlt = nullptr;
    alphaBlend = nullptr;
}
