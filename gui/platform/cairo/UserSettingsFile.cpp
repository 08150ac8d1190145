// readUserSetting and writeUserSetting of the native builds (headless and X11 alike): "name=value" lines
// in $XDG_CONFIG_HOME/VozuvAzirOVA/settings, or ~/.config/VozuvAzirOVA/settings without it, after the
// environment's override.
// C stdio and fixed buffers: no iostreams, so the library asks the C library for nothing newer, and
// a failed allocation cannot leave a half-made stream behind.
#include "gui/core/Platform.h"

#include "gui/core/UserSettingNames.h"

#include <sys/stat.h>

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
        written = std::snprintf(folder, kPathSize, "%s/%s", config, usersettings::kFolder);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return false;
        written = std::snprintf(folder, kPathSize, "%s/.config/%s", home, usersettings::kFolder);
    }
    return written > 0 && size_t(written) < kPathSize - 16;  // room for "/settings.new"
}

// The environment's override of a setting, null when there is none.
const char* overrideOf(const char* name) {
    char variable[usersettings::kOverrideNameSize];
    const int written = std::snprintf(variable, sizeof variable, "%s%s", usersettings::kOverridePrefix, name);
    return written > 0 && size_t(written) < sizeof variable ? std::getenv(variable) : nullptr;
}

bool hasKey(const char* line, const char* name) {
    const size_t length = std::strlen(name);
    return std::strncmp(line, name, length) == 0 && line[length] == '=';
}

}  // namespace

bool platform::readUserSetting(const char* name, int32_t& value) {
    if (!name) return false;
    if (const char* given = overrideOf(name)) return usersettings::parseValue(given, value);
    char path[kPathSize];
    if (!settingsFolder(path)) return false;
    std::strcat(path, "/");
    std::strcat(path, usersettings::kFile);
    FILE* file = std::fopen(path, "r");
    if (!file) return false;
    char line[kLineSize];
    bool found = false;
    // A name written twice (by hand) counts by its last valid line, as an appended line is meant to.
    while (std::fgets(line, sizeof line, file)) {
        int32_t parsed = 0;
        if (hasKey(line, name) && usersettings::parseValue(line + std::strlen(name) + 1, parsed)) {
            value = parsed;
            found = true;
        }
    }
    std::fclose(file);
    return found;
}

bool platform::writeUserSetting(const char* name, int32_t value) {
    char folder[kPathSize];
    if (!name || !*name || std::strlen(name) > kLineSize / 2 || overrideOf(name) || !settingsFolder(folder))
        return false;
    // The folder's parent may not exist yet either (a fresh ~/.config).
    for (char* slash = std::strchr(folder + 1, '/'); slash; slash = std::strchr(slash + 1, '/')) {
        *slash = '\0';
        mkdir(folder, 0700);
        *slash = '/';
    }
    mkdir(folder, 0700);
    char path[kPathSize + 16], temporary[kPathSize + 16];
    std::snprintf(path, sizeof path, "%s/%s", folder, usersettings::kFile);
    std::snprintf(temporary, sizeof temporary, "%s/%s.new", folder, usersettings::kFile);
    // The other settings are kept; written aside and renamed, so a reader never sees half a file.
    char kept[kMaxLines][kLineSize];
    int keptCount = 0;
    if (FILE* old = std::fopen(path, "r")) {
        char line[kLineSize];
        bool inLongLine = false;  // a line longer than the buffer is dropped whole, not in pieces
        while (keptCount < kMaxLines && std::fgets(line, sizeof line, old)) {
            const size_t length = std::strlen(line);
            const bool ends = length > 0 && line[length - 1] == '\n';
            // The file's last line, left without its newline by an editor, is kept and given one.
            const bool last = !ends && std::feof(old) && length + 1 < sizeof line;
            if (!inLongLine && (ends || last) && !hasKey(line, name)) {
                if (last) std::memcpy(line + length, "\n", 2);
                std::memcpy(kept[keptCount++], line, sizeof line);
            }
            inLongLine = !ends && !std::feof(old);
        }
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
