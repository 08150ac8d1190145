// HostedEditorFixture: the DLL, the host window, editor open/close/idle and screen reading.
#include "tests/wine/editor/HostedEditorFixture.h"

#include <cmath>
#include <cstdio>

#include "gui/core/UserSettingNames.h"
#include "tests/wine/editor/HostInput.h"
#include "tools/hostwindow/HostWindow.h"

namespace {

// The DLL as Windows sees it: the build tree lies on Wine's drive Z:.
std::string dllPath() {
    std::string path = std::string("Z:") + VOZUV_BINARY_DIR + "/VozuvAzirOVA.dll";
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// WS_POPUP has no frame: the window is exactly the editor's size.
HostWindowLook hostLook() {
    return HostWindowLook{"VozuvHostedEditor", WS_POPUP | WS_VISIBLE, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                          nullptr};
}

BOOL CALLBACK countWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

}  // namespace

PluginBinary& PluginBinary::get() {
    static PluginBinary binary;
    static bool loaded = false;
    if (loaded) return binary;
    loaded = true;
    if (!binary.library.open(dllPath())) {
        binary.error = binary.library.error();
        return binary;
    }
    binary.module = GetModuleHandleA("VozuvAzirOVA.dll");
    char name[32];
    std::snprintf(name, sizeof name, "Plugin%08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(binary.module)));
    binary.className = name;
    binary.panel = ScreenImage::fromResource(binary.module, 12);
    binary.strip = ScreenImage::fromResource(binary.module, 13);
    binary.meterLit = ScreenImage::fromResource(binary.module, 14);
    binary.meterUnlit = ScreenImage::fromResource(binary.module, 15);
    binary.bar = ScreenImage::fromResource(binary.module, 16);
    binary.greenLit = ScreenImage::fromResource(binary.module, 24);
    binary.greenUnlit = ScreenImage::fromResource(binary.module, 25);
    if (binary.panel.width() != layout::kPanelWidth || binary.strip.height() != 2405 || binary.meterLit.empty() ||
        binary.meterUnlit.empty() || binary.greenLit.empty() || binary.greenUnlit.empty() || binary.bar.empty()) {
        binary.error = "the DLL's bitmaps 12..25 cannot be read";
    }
    return binary;
}

int frameTop(float value) {
    constexpr int frameHeight = 37, span = 64 * frameHeight;
    const int t = static_cast<int>(std::trunc(span * static_cast<double>(value)));
    return t / frameHeight * frameHeight;
}

void HostedEditorFixture::SetUp() {
    ASSERT_TRUE(binary.error.empty()) << binary.error;
    storeZoom(zoom);
    host = startPlugin();
    ASSERT_TRUE(host);
    parent = HostWindow::create(hostLook(), "Vozuv host", px(layout::kPanelWidth), px(layout::kPanelHeight));
    ASSERT_NE(parent, nullptr);
    SetForegroundWindow(parent);
    hostinput::pumpMessages();
}

void HostedEditorFixture::TearDown() {
    if (editorOpen) closeEditor();
    host.reset();  // effClose
    if (parent) DestroyWindow(parent);
    hostinput::pumpMessages();
    storeZoom(100);
}

void HostedEditorFixture::storeZoom(int percent) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, usersettings::kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    const DWORD value = static_cast<DWORD>(percent);
    if (percent == 100)
        RegDeleteValueA(key, usersettings::kEditorScale);
    else
        RegSetValueExA(key, usersettings::kEditorScale, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::unique_ptr<PluginHost> HostedEditorFixture::startPlugin() {
    auto started = std::make_unique<PluginHost>();
    if (!started->instantiate(binary.library.entry())) {
        ADD_FAILURE() << started->error();
        return nullptr;
    }
    started->setSampleRate(44100.0f);
    started->setBlockSize(512);
    started->setMains(true);
    return started;
}

void HostedEditorFixture::openEditor() {
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    ASSERT_EQ(rect->right - rect->left, px(layout::kPanelWidth));
    ASSERT_EQ(rect->bottom - rect->top, px(layout::kPanelHeight));
    host->dispatch(effEditOpen, 0, 0, parent);
    editorOpen = true;
    editorWindow = FindWindowExA(parent, nullptr, binary.className.c_str(), nullptr);
    ASSERT_NE(editorWindow, nullptr) << "no child window of class " << binary.className;
    paintNow();
}

void HostedEditorFixture::closeEditor() {
    host->dispatch(effEditClose);
    editorOpen = false;
    editorWindow = nullptr;
    hostinput::pumpMessages();
}

void HostedEditorFixture::paintNow() {
    UpdateWindow(parent);
    hostinput::pumpMessages();
}

void HostedEditorFixture::idle(int times) {
    for (int i = 0; i < times; ++i) {
        host->dispatch(effEditIdle);
        hostinput::pumpMessages();
    }
}

POINT HostedEditorFixture::toScreen(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(editorWindow, &p);
    return p;
}

std::vector<HostRequest> HostedEditorFixture::editRequestsOf(VstInt32 parameter) const {
    std::vector<HostRequest> seen;
    for (const HostRequest& r : host->requests()) {
        const bool edit = r.opcode == audioMasterBeginEdit || r.opcode == audioMasterEndEdit ||
                          r.opcode == audioMasterAutomate;
        if (edit && r.index == parameter) seen.push_back(r);
    }
    return seen;
}

DragRecord HostedEditorFixture::dragKnob(VstInt32 parameter, DragStep start,
                                         const std::vector<DragStep>& path) {
    DragRecord record;
    std::vector<WORD> held;
    auto fail = [&record](const std::string& what) {
        record.failure += (record.failure.empty() ? "" : "; ") + what;
    };
    auto at = [](const DragStep& step) {
        return "(" + std::to_string(step.x) + ", " + std::to_string(step.y) + ")";
    };
    auto count = [this](VstInt32 opcode) { return host->countRequests(opcode); };
    auto hold = [&](WORD key) {
        if (key == 0) return;
        held.push_back(key);
        if (!hostinput::holdKey(key)) fail("key " + std::to_string(key) + " not reported down");
    };
    auto lastAutomated = [&] {
        float value = NAN;
        for (const HostRequest& r : host->requests()) {
            if (r.opcode == audioMasterAutomate && r.index == parameter) value = r.opt;
        }
        return value;
    };
    const size_t begun = count(audioMasterBeginEdit), ended = count(audioMasterEndEdit);

    const bool inTime = hostinput::runWhileDispatching(
        [&] {
            if (!hostinput::moveTo(knobPoint(parameter, start.x, start.y)))
                fail("the cursor did not reach the start");
            hold(start.holdFirst);
            hostinput::pressLeft();
            // The knob's loop runs inside the button-down message: wait for it before moving on.
            if (!hostinput::waitFor([&] { return count(audioMasterBeginEdit) > begun; }, 10000)) {
                fail("no audioMasterBeginEdit: the press did not reach the knob");
            } else {
                for (const DragStep& step : path) {
                    hold(step.holdFirst);
                    const size_t automated = count(audioMasterAutomate);
                    // moveTo returns once the cursor has stood still: the knob has seen it there.
                    if (!hostinput::moveTo(knobPoint(parameter, step.x, step.y)))
                        fail("the cursor missed " + at(step));
                    if (!hostinput::waitFor([&] { return count(audioMasterAutomate) > automated; }, 10000)) {
                        fail("the move to " + at(step) + " automated nothing");
                    }
                    record.automated.push_back(lastAutomated());
                }
            }
            hostinput::releaseLeft();
            for (auto key = held.rbegin(); key != held.rend(); ++key) hostinput::key(*key, false);
            if (!hostinput::waitFor([&] { return count(audioMasterEndEdit) > ended; }, 10000)) {
                fail("no audioMasterEndEdit after the release");
            }
        },
        60000);
    if (!inTime) fail("the drag did not end in time");
    return record;
}

std::string HostedEditorFixture::knobDiffers(const ScreenImage& shot, VstInt32 parameter, float value) {
    const int left = layout::kKnobLeft(parameter);
    return shot.compare(left, layout::kKnobTop, layout::kKnobWidth, layout::kKnobHeight, PluginBinary::get().strip, 0,
                        frameTop(value));
}

int HostedEditorFixture::meterShows(const ScreenImage& shot, int left, const ScreenImage& on, const ScreenImage& off) {
    for (int lit = 0; lit <= layout::kMeterSegments; ++lit) {
        const int x = lit * layout::kMeterWidth / layout::kMeterSegments;
        if (shot.matches(left, layout::kMeterTop, x, layout::kMeterHeight, on, 0, 0) &&
            shot.matches(left + x, layout::kMeterTop, layout::kMeterWidth - x, layout::kMeterHeight, off, x, 0)) {
            return lit;
        }
    }
    return -1;
}

ScreenImage HostedEditorFixture::readout(const ScreenImage& shot, VstInt32 parameter) {
    return shot.crop(layout::kReadoutLeft(parameter) + 1, layout::kReadoutTop, layout::kReadoutWidth - 2,
                     layout::kReadoutHeight);
}

int HostedEditorFixture::editorChildCount() const {
    int count = 0;
    EnumChildWindows(parent, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}
