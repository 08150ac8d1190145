// Per-user settings of the native builds (headless and X11 alike): "name=value" lines in
// $XDG_CONFIG_HOME/VozuvAzirOVA/settings, or ~/.config/VozuvAzirOVA/settings without it.
// C stdio and fixed buffers: no iostreams, so the library asks the C library for nothing newer, and
// a failed allocation cannot leave a half-made stream behind.
#include "gui/core/Platform.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kPathSize = 4096;
constexpr size_t kLineSize = 256;
constexpr int kMaxLines = 64;

// The settings folder into `folder`; false without a usable one.
bool settingsFolder(char (&folder)[kPathSize]) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is ignored, as desktops ignore it: it would depend on the host's folder.
    int written = 0;
    if (config && config[0] == '/') {
        written = std::snprintf(folder, kPathSize, "%s/VozuvAzirOVA", config);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return false;
        written = std::snprintf(folder, kPathSize, "%s/.config/VozuvAzirOVA", home);
    }
    return written > 0 && size_t(written) < kPathSize - 16;  // room for "/settings.new"
}

bool parseValue(const char* text, int32_t& value) {
    if (!*text) return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    // No digits at all ("name=\n") is no value either.
    if (errno != 0 || end == text || (*end != '\0' && *end != '\n')) return false;
    if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

bool hasKey(const char* line, const char* name) {
    const size_t length = std::strlen(name);
    return std::strncmp(line, name, length) == 0 && line[length] == '=';
}

}  // namespace

bool platform::readUserSetting(const char* name, int32_t& value) {
    char path[kPathSize];
    if (!name || !settingsFolder(path)) return false;
    std::strcat(path, "/settings");
    FILE* file = std::fopen(path, "r");
    if (!file) return false;
    char line[kLineSize];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, file))
        if (hasKey(line, name)) found = parseValue(line + std::strlen(name) + 1, value);
    std::fclose(file);
    return found;
}

bool platform::writeUserSetting(const char* name, int32_t value) {
    char folder[kPathSize];
    if (!name || !*name || std::strlen(name) > kLineSize / 2 || !settingsFolder(folder)) return false;
    // The folder's parent may not exist yet either (a fresh ~/.config).
    for (char* slash = std::strchr(folder + 1, '/'); slash; slash = std::strchr(slash + 1, '/')) {
        *slash = '\0';
        mkdir(folder, 0700);
        *slash = '/';
    }
    mkdir(folder, 0700);
    char path[kPathSize + 16], temporary[kPathSize + 16];
    std::snprintf(path, sizeof path, "%s/settings", folder);
    std::snprintf(temporary, sizeof temporary, "%s/settings.new", folder);
    // The other settings are kept; written aside and renamed, so a reader never sees half a file.
    char kept[kMaxLines][kLineSize];
    int keptCount = 0;
    if (FILE* old = std::fopen(path, "r")) {
        char line[kLineSize];
        while (keptCount < kMaxLines && std::fgets(line, sizeof line, old))
            if (!hasKey(line, name) && std::strchr(line, '\n')) std::memcpy(kept[keptCount++], line, sizeof line);
        std::fclose(old);
    }
    FILE* file = std::fopen(temporary, "w");
    if (!file) return false;
    bool written = true;
    for (int i = 0; i < keptCount; ++i) written = written && std::fputs(kept[i], file) >= 0;
    written = written && std::fprintf(file, "%s=%d\n", name, int(value)) > 0;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        std::remove(temporary);
        return false;
    }
    return std::rename(temporary, path) == 0;
}
