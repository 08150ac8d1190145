// EditorDpiTest: without a stored choice the DLL's editor takes the DPI of a DPI-aware host's window, and
// the user's stored choice wins over it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/wine/editor/HostedEditorFixture.h"

namespace {

// The screen's DPI as Wine reads it when a program starts.
void setScreenDpi(DWORD dpi) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(handle);
}

// A DPI-aware host (vozuv-winhost) started afresh, so it reads the screen's DPI; the size of the editor
// picture it saves, as "W x H".
std::string editorSizeOfNewHost() {
    const std::string dir = std::string("Z:") + VOZUV_BINARY_DIR;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string shot = std::string(temp) + "vozuv-dpi-editor.png";
    DeleteFileA(shot.c_str());
    std::string command = "\"" + dir + "/vozuv-winhost.exe\" --editor \"" + dir +
                          "/VozuvAzirOVA.dll\" --screenshot \"" + shot + "\" --seconds 0.3 --dpi-aware";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "no host started";
    const bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended) return "the host did not end";
    // The PNG header: width and height, big-endian, at bytes 16 and 20.
    unsigned char header[24] = {};
    std::FILE* file = std::fopen(shot.c_str(), "rb");
    if (!file) return "no picture";
    const size_t read = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (read != sizeof header) return "a short picture";
    auto word = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
    return std::to_string(word(16)) + " x " + std::to_string(word(20));
}

}  // namespace

TEST(EditorDpiTest, ADpiAwareHostsWindowPicksTheSizeUnlessTheUserChose) {
    struct Case {
        DWORD dpi;
        DWORD stored;  // 0: none
        const char* size;
    };
    const Case cases[] = {{96, 0, "762 x 104"}, {144, 0, "1143 x 156"}, {192, 0, "1524 x 208"},
                          {110, 0, "762 x 104"}, {192, 150, "1143 x 156"}, {96, 200, "1524 x 208"},
                          {144, 175, "1143 x 156"}};
    for (const Case& c : cases) {
        SCOPED_TRACE("dpi " + std::to_string(c.dpi) + ", stored " + std::to_string(c.stored));
        setScreenDpi(c.dpi);
        HostedEditorFixture::storeZoom(c.stored ? int(c.stored) : 100);
        EXPECT_EQ(editorSizeOfNewHost(), c.size);
    }
    HostedEditorFixture::storeZoom(100);
    setScreenDpi(96);
}
