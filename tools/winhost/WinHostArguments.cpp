// WinHostArguments: parsing the modes and options of vozuv-winhost.
#include "tools/winhost/WinHostArguments.h"

#include <cstdlib>

std::string WinHostArguments::windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    // Wine maps the Unix root to drive Z:.
    std::string p = "Z:" + path;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

const char* WinHostArguments::usage() {
    return "usage: vozuv-winhost --bridge PLUGIN.dll [--own-desktop] [--zoom 100|150|200] [--dpi-aware]\n"
           "       vozuv-winhost --info PLUGIN.dll\n"
           "       vozuv-winhost --editor PLUGIN.dll [--screenshot FILE.png] [--seconds S] [--program N]\n"
           "                     [--set NAME=VALUE]... [--no-size-window] [--requests] [--zoom 100|150|200]\n"
           "                     [--dpi-aware]\n";
}

bool WinHostArguments::parse(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--bridge" || a == "--editor" || a == "--info") {
            mode = a == "--bridge" ? Mode::Bridge : a == "--editor" ? Mode::Editor : Mode::Info;
            if (!next(v)) return false;
            plugin = windowsPath(v);
        } else if (a == "--screenshot") {
            if (!next(v)) return false;
            screenshot = windowsPath(v);
        } else if (a == "--seconds") {
            if (!next(v)) return false;
            char* end = nullptr;
            seconds = std::strtod(v.c_str(), &end);
            if (*end || seconds < 0) {
                error = "--seconds wants a duration in seconds";
                return false;
            }
        } else if (a == "--program") {
            if (!next(v)) return false;
            program = std::atoi(v.c_str()) - 1;
        } else if (a == "--set") {
            if (!next(v)) return false;
            const size_t eq = v.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "--set wants NAME=VALUE";
                return false;
            }
            settings.emplace_back(v.substr(0, eq), static_cast<float>(std::atof(v.c_str() + eq + 1)));
        } else if (a == "--no-size-window") {
            sizeWindow = false;
        } else if (a == "--zoom") {
            if (!next(v)) return false;
            zoom = std::atoi(v.c_str());
            if (zoom != 100 && zoom != 150 && zoom != 200) {
                error = "--zoom wants 100, 150 or 200";
                return false;
            }
        } else if (a == "--dpi-aware") {
            dpiAware = true;
        } else if (a == "--own-desktop") {
            ownDesktop = true;
        } else if (a == "--requests") {
            listRequests = true;
        } else {
            error = "unknown argument " + a;
            return false;
        }
    }
    if (mode == Mode::None) {
        error = "no mode given";
        return false;
    }
    // A screenshot without a duration closes once the editor has had a moment to draw.
    if (mode == Mode::Editor && !screenshot.empty() && seconds < 0) seconds = 1.0;
    return true;
}
