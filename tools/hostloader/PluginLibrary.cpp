// PluginLibrary: LoadLibraryA/GetProcAddress on Windows, dlopen/dlsym natively.
#include "tools/hostloader/PluginLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32
std::string systemErrorText(DWORD code) {
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                             sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r' || buffer[n - 1] == ' ')) buffer[--n] = 0;
    std::string text = n > 0 ? buffer : "system error";
    return text + " (" + std::to_string(code) + ")";
}
#endif

}  // namespace

PluginLibrary::~PluginLibrary() { close(); }

bool PluginLibrary::open(const std::string& libraryPath) {
    close();
    lastError.clear();
#ifdef _WIN32
    // No "cannot find DLL" message boxes: a host reports the failure itself.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(libraryPath.c_str());
    DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module) {
        lastError = "cannot load " + libraryPath + ": " + systemErrorText(loadError);
        return false;
    }
    FARPROC proc = GetProcAddress(module, "main");
    if (!proc) {
        FreeLibrary(module);
        lastError = libraryPath + " exports no entry \"main\"";
        return false;
    }
    handle = module;
    mainProc = reinterpret_cast<PluginMainProc>(reinterpret_cast<void*>(proc));
#else
    // A bare file name means the file here, not a search of the library path.
    const std::string file = libraryPath.find('/') == std::string::npos ? "./" + libraryPath : libraryPath;
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        lastError = "cannot load " + libraryPath + ": " + (why ? why : "unknown error");
        return false;
    }
    dlerror();
    void* symbol = dlsym(library, "main");
    if (!symbol) {
        dlclose(library);
        lastError = libraryPath + " exports no entry \"main\"";
        return false;
    }
    handle = library;
    mainProc = reinterpret_cast<PluginMainProc>(symbol);
#endif
    loadedPath = libraryPath;
    return true;
}

void PluginLibrary::close() {
    if (!handle) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
    handle = nullptr;
    mainProc = nullptr;
}
