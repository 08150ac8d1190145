// EditorHost: the editor window of vozuv-winhost and its screenshot.
#include "tools/winhost/EditorHost.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"
#include "tools/pngencoder/PngEncoder.h"
#include "tools/winhost/EditorWindow.h"

int runEditor(const WinHostArguments& arguments) {
    PluginLibrary library;
    if (!library.open(arguments.plugin)) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", library.error().c_str());
        return 3;
    }
    HostConfig config;
    config.canSizeWindow = arguments.sizeWindow;
    PluginHost host(config);
    if (!host.instantiate(library.entry())) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", host.error().c_str());
        return 4;
    }
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

    EditorWindow editor(host);
    std::string error;
    if (!editor.open(error)) {
        std::fprintf(stderr, "vozuv-winhost: %s\n", error.c_str());
        return 6;
    }
    if (arguments.seconds >= 0) {
        editor.pump(static_cast<DWORD>(arguments.seconds * 1000.0));
    } else {
        while (editor.pump(1000)) {
        }
    }
    int status = 0;
    if (!editor.closedByUser() && !arguments.screenshot.empty()) {
        HostWindowPicture picture;
        if (!editor.capture(picture) ||
            !PngEncoder::writeFile(arguments.screenshot, picture.rgb().data(), picture.width, picture.height, 3)) {
            std::fprintf(stderr, "vozuv-winhost: cannot save the screenshot %s\n", arguments.screenshot.c_str());
            status = 7;
        }
    }
    editor.close();
    host.setMains(false);
    if (arguments.listRequests) {
        for (const HostRequest& r : host.requests()) {
            std::fprintf(stderr, "request %d index %d value %lld opt %g%s%s\n", r.opcode, r.index,
                         static_cast<long long>(r.value), static_cast<double>(r.opt), r.text.empty() ? "" : " text ",
                         r.text.c_str());
        }
    }
    host.close();
    return status;
}
