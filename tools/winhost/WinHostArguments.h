// WinHostArguments: the command line of vozuv-winhost.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct WinHostArguments {
    enum class Mode { None, Bridge, Editor, Info };
    Mode mode = Mode::None;
    std::string plugin;             // as Windows sees it ("/unix/path" becomes "Z:\unix\path")
    std::string screenshot;         // editor mode: PNG of the editor's client area
    double seconds = -1.0;          // editor mode: close after this long; < 0 waits for the user
    int program = -1;               // 0-based, -1 keeps the plug-in's
    std::vector<std::pair<std::string, float>> settings;  // NAME=VALUE or INDEX=VALUE
    bool sizeWindow = true;         // answer of CanDo "sizeWindow"
    bool listRequests = false;      // print the host requests on exit
    bool ownDesktop = false;        // windows on a desktop of this process's own, not the shared one
    int zoom = 0;                   // the editor's scale in percent, stored as the user's choice meanwhile; 0 leaves it
    bool dpiAware = false;          // the host tells Windows it draws for the screen's DPI itself
    std::string error;

    // False with error set when the command line makes no sense.
    bool parse(int argc, char** argv);
    static std::string windowsPath(const std::string& path);
    static const char* usage();
};
