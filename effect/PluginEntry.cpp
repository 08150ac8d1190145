// The library's exported entry `main` and the Windows module entry.
#include "effect/CompGatePlugin.h"
#include "gui/core/Platform.h"

// C++ reserves the name main for programs: the entry is defined under another name and exported as
// `main` by effect/VozuvAzirOVA.def on Windows and by an assembler label elsewhere. Linux hosts look for
// `VSTPluginMain` first: there it is the same function under that name too.
#ifdef _WIN32
extern "C" AEffect* VSTCALLBACK vozuvPluginMain(audioMasterCallback hostCallback);
#else
extern "C" __attribute__((visibility("default"))) AEffect* vozuvPluginMain(audioMasterCallback hostCallback)
    __asm__("main");
extern "C" __attribute__((visibility("default"), alias("main"))) AEffect* VSTPluginMain(
    audioMasterCallback hostCallback);
#endif

extern "C" AEffect* VSTCALLBACK vozuvPluginMain(audioMasterCallback hostCallback) {
    return CompGatePlugin::createInstance(hostCallback);
}

#ifdef _WIN32
// Bitmap resources are loaded through the instance handle, stored on every call whatever the reason.
// The module entry's Win32 signature (BOOL WINAPI (HINSTANCE, DWORD, LPVOID)) spelled out, so that the
// system header stays inside the platform backend.
extern "C" int __stdcall DllMain(void* instance, unsigned long /*reason*/, void* /*reserved*/) {
    platform::setModuleInstance(instance);
    return 1;
}
#endif
