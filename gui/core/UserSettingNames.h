// The names the plug-in keeps its per-user settings under (registry key, settings file, value names),
// the environment override tools give instead, and the one parser of a setting's text.
#pragma once

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace usersettings {

// Win32: values under HKEY_CURRENT_USER\kRegistryKey.
inline constexpr const char* kRegistryKey = "Software\\BroVane\\VozuvAzirOVA";
// Native: "name=value" lines in $XDG_CONFIG_HOME/kFolder/kFile (~/.config without it).
inline constexpr const char* kFolder = "VozuvAzirOVA";
inline constexpr const char* kFile = "settings";

// The editor's display scale in percent, chosen in its size menu.
inline constexpr const char* kEditorScale = "EditorScale";

// An environment variable kOverridePrefix + name (VOZUV_SETTING_EditorScale=200) gives a setting for one
// process: read before the stored one, and nothing is stored while it is set. Tools use it, so a run
// that crashes leaves the user's own choice as it was.
inline constexpr const char* kOverridePrefix = "VOZUV_SETTING_";
inline constexpr int kOverrideNameSize = 128;

// A decimal integer alone, as a file line ("150", "150\n" or "150\r\n") or an override holds it.
inline bool parseValue(const char* text, int32_t& value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (*end == '\r') ++end;  // a file saved with Windows line ends
    // No digits at all ("name=\n") is no value either.
    if (errno != 0 || end == text || (*end != '\0' && *end != '\n')) return false;
    if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

}  // namespace usersettings
