// PluginLibrary: a plug-in binary loaded the way a host loads it, with its exported entry `main`.
#pragma once

#include <string>

#include "framework/VstInterface.h"

using PluginMainProc = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library (LoadLibraryA on Windows, dlopen natively) and finds "main".
    // On failure answers false and error() says why; a library without "main" is unloaded again.
    bool open(const std::string& path);
    void close();

    bool isOpen() const { return handle != nullptr; }
    PluginMainProc entry() const { return mainProc; }
    const std::string& error() const { return lastError; }
    const std::string& path() const { return loadedPath; }

private:
    void* handle = nullptr;
    PluginMainProc mainProc = nullptr;
    std::string lastError;
    std::string loadedPath;
};
