// The library's exported entry `main` and the Windows module entry.
#include "effect/CompGatePlugin.h"
#include "gui/core/Platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

// C++ reserves the name main for programs: the entry is defined under another name and exported as
// `main` by effect/VozuvAzirOVA.def on Windows and by an assembler label elsewhere.
#ifdef _WIN32
extern "C" AEffect* VSTCALLBACK vozuvPluginMain(audioMasterCallback hostCallback);
#else
extern "C" __attribute__((visibility("default"))) AEffect* vozuvPluginMain(audioMasterCallback hostCallback)
    __asm__("main");
#endif

extern "C" AEffect* VSTCALLBACK vozuvPluginMain(audioMasterCallback hostCallback) {
    return CompGatePlugin::createInstance(hostCallback);
}

#ifdef _WIN32
// Bitmap resources are loaded through the instance handle, stored on every call whatever the reason.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    platform::setModuleInstance(instance);
    return TRUE;
}
#endif
