// RenderPlugin: picks the in-process or the bridged way of loading a plug-in binary.
#include "tools/render/RenderPlugin.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "tools/peheader/PeImage.h"
#include "tools/render/BridgePlugin.h"
#include "tools/render/NativePlugin.h"
#include "tools/xvfb/XvfbServer.h"

ToolPaths ToolPaths::configured() {
    ToolPaths paths;
    const char* win32 = std::getenv("VOZUV_WIN32_DIR");
    const char* win64 = std::getenv("VOZUV_WIN64_DIR");
    paths.win32Dir = (win32 && *win32) ? win32 : VOZUV_WIN32_DIR_DEFAULT;
    paths.win64Dir = (win64 && *win64) ? win64 : VOZUV_WIN64_DIR_DEFAULT;
    return paths;
}

EditorPicture RenderPlugin::processWithEditor(const float* const*, float* const*, int, int) {
    throw RenderError("the editor screenshot is not available for " + description());
}

std::unique_ptr<XvfbServer> RenderPlugin::startPrivateDisplay() {
    try {
        return std::make_unique<XvfbServer>();
    } catch (const XvfbServer::StartError& e) {
        throw RenderError(std::string("the editor screenshot needs an X display: DISPLAY is not set and ") + e.what());
    }
}

int RenderPlugin::openSlots(int frames) {
    // One filled and processed while another is measured and written, and two for slack: either side
    // may be held up for a moment on a busy machine without stopping the other.
    constexpr int kSlots = 4;
    ownSlotFrames = static_cast<size_t>(frames);
    ownSlot.assign(kSlots * 4 * ownSlotFrames, 0.0f);
    return kSlots;
}

AudioSlot RenderPlugin::slot(int index) {
    float* base = ownSlot.data() + static_cast<size_t>(index) * 4 * ownSlotFrames;
    const size_t n = ownSlotFrames;
    return {{base, base + n}, {base + 2 * n, base + 3 * n}};
}

void RenderPlugin::submit(int index, int frames, int block) {
    const AudioSlot s = slot(index);
    const float* inputs[2] = {s.in[0], s.in[1]};
    process(inputs, s.out, frames, block);
}

bool RenderPlugin::isWindowsBinary(const std::string& path) {
    std::ifstream probe(path, std::ios::binary);
    char magic[2] = {};
    probe.read(magic, 2);
    return probe.gcount() == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

std::unique_ptr<RenderPlugin> RenderPlugin::open(const std::string& path, const ToolPaths& paths, bool withEditor,
                                                int zoom) {
    std::ifstream probe(path, std::ios::binary);
    if (!probe) throw RenderError("cannot read the plug-in " + path + ": " + std::strerror(errno));
    char magic[2] = {};
    probe.read(magic, 2);
    if (probe.gcount() == 2 && magic[0] == 'M' && magic[1] == 'Z') {
        PeImage image;
        if (!image.load(path)) throw RenderError("cannot read the plug-in " + path + ": " + image.error());
        if (image.flavour().empty()) {
            throw RenderError("the plug-in " + path + " is a Windows binary for neither 32-bit nor 64-bit x86");
        }
        return std::make_unique<BridgePlugin>(path, image.flavour(), paths, withEditor, zoom);
    }
    return std::make_unique<NativePlugin>(path, zoom);
}
