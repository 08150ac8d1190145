// Per-user settings of the native builds (headless and X11 alike): "name=value" lines in
// $XDG_CONFIG_HOME/VozuvAzirOVA/settings, or ~/.config/VozuvAzirOVA/settings without it.
#include "gui/core/Platform.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string settingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // The base directory specification ignores relative paths.
    if (config && config[0] == '/') return std::string(config) + "/VozuvAzirOVA";
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    return std::string(home) + "/.config/VozuvAzirOVA";
}

bool parseValue(const std::string& text, int32_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace

bool platform::readUserSetting(const char* name, int32_t& value) {
    const std::string folder = settingsFolder();
    if (folder.empty() || !name) return false;
    const std::string key = std::string(name) + "=";
    for (const std::string& line : readLines(folder + "/settings"))
        if (line.compare(0, key.size(), key) == 0) return parseValue(line.substr(key.size()), value);
    return false;
}

bool platform::writeUserSetting(const char* name, int32_t value) {
    const std::string folder = settingsFolder();
    if (folder.empty() || !name) return false;
    // The folder's parent may not exist yet either (a fresh ~/.config).
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/settings";
    const std::string key = std::string(name) + "=";
    std::ostringstream out;
    for (const std::string& line : readLines(path))
        if (line.compare(0, key.size(), key) != 0) out << line << '\n';
    out << key << value << '\n';
    // Written aside and renamed, so a reader never sees half a file.
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << out.str();
        if (!file.flush()) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}
