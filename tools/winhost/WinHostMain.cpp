// vozuv-winhost: loads a VST 2 plug-in DLL as a Windows host and serves it to vozuv-render (bridge
// mode), shows its editor (editor mode) or prints what it reports (info mode).
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/core/UserSettingNames.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginInfo.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/winhost/BridgeServer.h"
#include "tools/winhost/EditorHost.h"
#include "tools/winhost/WinHostArguments.h"

namespace {

constexpr int kCrashStatus = 70;

// A crash inside the plug-in ends the program with a line and a status the renderer can report,
// instead of a debugger that waits for somebody.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* r = exception->ExceptionRecord;
    std::fprintf(stderr, "vozuv-winhost: the plug-in crashed (exception 0x%08lx at %p)\n",
                 static_cast<unsigned long>(r->ExceptionCode), r->ExceptionAddress);
    std::fflush(stderr);
    ExitProcess(kCrashStatus);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Windows of this process go to a desktop of its own. Wine runs each desktop from a process started
// with the display of whoever needed it first; the shared desktop of the prefix may have been started
// by a bridge without a display, and then no window can be created on it.
void useOwnDesktop() {
    const std::string name = "vozuv-winhost-" + std::to_string(GetCurrentProcessId());
    HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop || !SetThreadDesktop(desktop)) {
        std::fprintf(stderr, "vozuv-winhost: cannot use a desktop of its own (error %lu)\n", GetLastError());
    }
}

int printInfo(const std::string& pluginPath) {
    PluginLibrary library;
    if (!library.open(pluginPath)) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", library.error().c_str());
        return 3;
    }
    PluginHost host;
    if (!host.instantiate(library.entry())) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", host.error().c_str());
        return 4;
    }
    const PluginInfo info = PluginInfo::read(host);
    std::printf("%s by %s, product %s, version %d, unique id %s, flags 0x%x (%s)\n", info.effectName.c_str(),
                info.vendor.c_str(), info.product.c_str(), info.vendorVersion, info.uniqueIDText().c_str(),
                static_cast<unsigned>(info.flags), info.flagsText().c_str());
    std::printf("%d inputs, %d outputs, %d parameters, %d programs\n", info.numInputs, info.numOutputs,
                info.numParams, info.numPrograms);
    for (size_t i = 0; i < info.parameters.size(); ++i) {
        const ParameterInfo& p = info.parameters[i];
        std::printf("  %2zu %-16s %-8s %.6f %s\n", i, p.name.c_str(), p.label.c_str(), static_cast<double>(p.value),
                    p.display.c_str());
    }
    for (size_t i = 0; i < info.programs.size(); ++i) std::printf("  program %2zu %s\n", i + 1, info.programs[i].c_str());
    return 0;
}

// The plug-in's editor scale for this run, given through the environment override it reads before the
// user's stored choice: the user's registry value is never touched, whatever becomes of the run.
void chooseZoom(int zoom) {
    if (zoom == 0) return;
    const std::string variable = std::string(usersettings::kOverridePrefix) + usersettings::kEditorScale;
    SetEnvironmentVariableA(variable.c_str(), std::to_string(zoom).c_str());
}

// Declares the process DPI-aware (per monitor where the system knows it), looked up by name.
void becomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto setContext = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE is the handle value -3.
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3)))) return;
    SetProcessDPIAware();
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
    WinHostArguments arguments;
    if (!arguments.parse(argc, argv)) {
        std::fprintf(stderr, "vozuv-winhost: %s\n%s", arguments.error.c_str(), WinHostArguments::usage());
        return 2;
    }
    if (arguments.dpiAware) becomeDpiAware();
    chooseZoom(arguments.zoom);
    switch (arguments.mode) {
        case WinHostArguments::Mode::Bridge:
            if (arguments.ownDesktop) useOwnDesktop();
            return runBridge(arguments.plugin);
        case WinHostArguments::Mode::Editor:
            return runEditor(arguments);
        case WinHostArguments::Mode::Info:
            return printInfo(arguments.plugin);
        default:
            return 2;
    }
}
