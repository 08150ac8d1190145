// BridgePlugin: starts vozuv-winhost.exe --bridge under Wine and turns each operation into one request.
#include "tools/render/BridgePlugin.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "tools/bridgewire/BridgeProtocol.h"
#include "tools/peheader/PeImage.h"

namespace {

constexpr double kStartTimeoutSeconds = 300.0;  // a cold Wine start on a busy machine is slow
constexpr double kReplyTimeoutSeconds = 120.0;

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string result = real;
    std::free(real);
    return result;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string windowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return p;
}

void mkdirs(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    }
}

int runQuietly(const std::vector<std::string>& argv, const std::string& prefix) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        setenv("WINEPREFIX", prefix.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits for the lock file at path and holds it until the descriptor is closed; -1 when it cannot be made.
int lockExclusively(const std::string& path) {
    const int lock = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    return lock;
}

}  // namespace

std::string BridgePlugin::findWinHost(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths,
                                      std::string& searched) {
    const std::string treeDir = flavour == "win64" ? paths.win64Dir : paths.win32Dir;
    searched.clear();
    for (const std::string& dir : {directoryOf(absolutePath(dllPath)), treeDir}) {
        const std::string candidate = dir + "/vozuv-winhost.exe";
        searched += (searched.empty() ? "" : ", ") + candidate;
        PeImage image;
        if (exists(candidate) && image.load(candidate) && image.flavour() == flavour) return absolutePath(candidate);
    }
    return "";
}

BridgePlugin::PrefixTurn::~PrefixTurn() {
    if (fd >= 0) close(fd);
}

void BridgePlugin::preparePrefix(const std::string& prefix) {
    if (exists(prefix + "/system.reg")) return;
    mkdirs(prefix);
    const int lock = lockExclusively(prefix + ".lock");
    if (!exists(prefix + "/system.reg")) {
        if (isatty(2)) std::fprintf(stderr, "vozuv-render: setting up the Wine prefix %s (first run only)\n", prefix.c_str());
        runQuietly({"wineboot", "-i"}, prefix);
        runQuietly({"wineserver", "-w"}, prefix);
    }
    if (lock >= 0) close(lock);
}

BridgePlugin::BridgePlugin(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths,
                           bool withEditor, int zoom) {
    std::string searched;
    const std::string winhost = findWinHost(dllPath, flavour, paths, searched);
    const std::string bits = flavour == "win64" ? "64-bit" : "32-bit";
    if (winhost.empty()) {
        throw RenderError("no " + bits + " vozuv-winhost.exe to run " + dllPath + " (looked for " + searched +
                          "; build it with scripts/build.sh " + flavour + " build/" + flavour + ")");
    }
    const char* prefixVariable = std::getenv("WINEPREFIX");
    // A session with the editor gets a prefix of its own: a Wine server keeps one display configuration for
    // all its processes, and that of the sessions without a display is a 1024 x 768 stand-in, which clips
    // a larger editor window.
    const std::string prefix = (prefixVariable && *prefixVariable)
                                   ? prefixVariable
                                   : directoryOf(winhost) + (withEditor ? "/wineprefix-editor" : "/wineprefix");
    preparePrefix(prefix);
    if (withEditor) editorTurn.fd = lockExclusively(prefix + ".editor.lock");
    const char* wineVariable = std::getenv("VOZUV_WINE");
    const std::string wine = (wineVariable && *wineVariable) ? wineVariable : "wine";
    const std::string dll = absolutePath(dllPath);
    // A session this bridge starts without an editor needs neither Wine's services nor its desktop
    // process: its first start then takes a third of the time. The menu builder is never wanted.
    std::string overrides = "mscoree,mshtml=;winemenubuilder.exe=d";
    if (!withEditor) overrides += ";services.exe,explorer.exe=d";
    std::vector<std::pair<std::string, std::string>> environment{
        {"WINEPREFIX", prefix}, {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", overrides}};
    const char* displayVariable = std::getenv("DISPLAY");
    if (withEditor && !(displayVariable && *displayVariable)) {
        display = startPrivateDisplay();
        environment.emplace_back("DISPLAY", display->display());
    }
    std::vector<std::string> argv{wine, winhost, "--bridge", windowsPath(dll)};
    if (withEditor) argv.push_back("--own-desktop");
    // Always: the editor's scale is the one asked for, never a choice stored in the prefix.
    if (withEditor) argv.insert(argv.end(), {"--zoom", std::to_string(zoom)});
    process_ = std::make_unique<BridgeProcess>(argv, environment, "the plug-in bridge (vozuv-winhost.exe under Wine)");
    about = bits + " DLL " + dll + " through " + winhost + " under Wine (prefix " + prefix + ")";
    this->winhost = winhost;
}

bool BridgePlugin::starting() { return !greeted && !process_->readable(); }

void BridgePlugin::greet() {
    greeted = true;
    uint32_t header[2] = {};
    process_->read(header, sizeof header, kStartTimeoutSeconds);
    if (header[0] != kBridgeHello || header[1] > kBridgeMaxPayload) {
        throw RenderError("the plug-in bridge answered something else than its greeting (is " + winhost +
                          " a vozuv-winhost?)");
    }
    std::vector<uint8_t> payload(header[1]);
    if (!payload.empty()) process_->read(payload.data(), payload.size(), kReplyTimeoutSeconds);
    MessageReader r(payload);
    const uint32_t magic = r.u32();
    const uint32_t status = r.u32();
    const std::string message = r.text();
    if (magic != kBridgeMagic) throw RenderError("the plug-in bridge speaks another protocol version");
    if (status == kBridgeLoadFailed) throw RenderError("the plug-in failed to load: " + message);
    if (status == kBridgeMainNull) throw RenderError("the plug-in failed to start: " + message);
    if (status != kBridgeLoaded) throw RenderError("the plug-in bridge reports status " + std::to_string(status));
}

BridgePlugin::~BridgePlugin() {
    if (!closed) {
        try {
            quit();
        } catch (const RenderError&) {
            // Already dead: the destructor of the process reaps it.
        }
    }
}

int BridgePlugin::quit() {
    closed = true;
    request(kBridgeQuit, MessageWriter{});
    return process_->finish();
}

std::vector<uint8_t> BridgePlugin::request(uint32_t code, const MessageWriter& payload, const char* refusal) {
    sendRequest(code, payload);
    return readReply(refusal);
}

void BridgePlugin::sendRequest(uint32_t code, const MessageWriter& payload) {
    if (!greeted) greet();
    const uint32_t header[2] = {code, static_cast<uint32_t>(payload.bytes().size())};
    process_->write(header, sizeof header);
    if (!payload.bytes().empty()) process_->write(payload.bytes().data(), payload.bytes().size());
}

std::vector<uint8_t> BridgePlugin::readReply(const char* refusal, bool* refused) {
    uint32_t reply[2] = {};
    process_->read(reply, sizeof reply, kReplyTimeoutSeconds);
    if (reply[1] > kBridgeMaxPayload) throw RenderError("the plug-in bridge sent a malformed reply");
    std::vector<uint8_t> body(reply[1]);
    if (!body.empty()) process_->read(body.data(), body.size(), kReplyTimeoutSeconds);
    if (reply[0] == kBridgeFailed) {
        MessageReader r(body);
        if (refused) {
            *refused = true;
            return {};
        }
        throw RenderError(refusal + r.text());
    }
    if (reply[0] != kBridgeOk) throw RenderError("the plug-in bridge sent a malformed reply");
    return body;
}

int BridgePlugin::openSlots(int frames) {
    // Four slots: one the winhost processes, one waiting for it, one being filled, one being delivered.
    constexpr uint32_t kSlots = 4;
    shared.reset();
    layout = BridgeSlotLayout{static_cast<uint32_t>(frames)};
    std::unique_ptr<SharedAudioFile> file;
    try {
        file = std::make_unique<SharedAudioFile>(static_cast<size_t>(layout.fileBytes(kSlots)));
    } catch (const RenderError&) {
        return RenderPlugin::openSlots(frames);  // no room for the file: the pipes still work
    }
    MessageWriter w;
    w.text(windowsPath(file->path()));
    w.u32(kSlots);
    w.u32(layout.frames);
    sendRequest(kBridgeMapAudio, w);
    bool refused = false;
    readReply("", &refused);
    // Mapped by both now: the name can go, so nothing is left behind whatever happens next.
    file->unlinkName();
    if (refused) return RenderPlugin::openSlots(frames);
    shared = std::move(file);
    return static_cast<int>(kSlots);
}

AudioSlot BridgePlugin::slot(int index) {
    if (!shared) return RenderPlugin::slot(index);
    float* base = shared->floats();
    const uint32_t s = static_cast<uint32_t>(index);
    using L = BridgeSlotLayout;
    return {{base + layout.offset(s, L::kInLeft), base + layout.offset(s, L::kInRight)},
            {base + layout.offset(s, L::kOutLeft), base + layout.offset(s, L::kOutRight)}};
}

void BridgePlugin::submit(int index, int frames, int block) {
    if (!shared) return RenderPlugin::submit(index, frames, block);
    MessageWriter w;
    w.u32(static_cast<uint32_t>(index));
    w.i32(frames);
    w.i32(block);
    sendRequest(kBridgeProcessMapped, w);
}

int BridgePlugin::pendingLimit() const {
    // One chunk in the winhost's hands and one waiting for it: it never idles between chunks.
    return shared ? 2 : 0;
}

void BridgePlugin::collect(int index) {
    if (!shared) return RenderPlugin::collect(index);
    if (!readReply("the plug-in bridge refused a request: ").empty()) {
        throw RenderError("the plug-in bridge sent a malformed reply");
    }
}

PluginInfo BridgePlugin::info() {
    const std::vector<uint8_t> body = request(kBridgeInfo, MessageWriter{});
    MessageReader r(body);
    PluginInfo info = PluginInfo::read(r);
    if (r.failed()) throw RenderError("the plug-in bridge sent a malformed reply");
    return info;
}

void BridgePlugin::setSampleRate(float rate) {
    MessageWriter w;
    w.f32(rate);
    request(kBridgeSampleRate, w);
}

void BridgePlugin::setBlockSize(int frames) {
    MessageWriter w;
    w.i32(frames);
    request(kBridgeBlockSize, w);
}

void BridgePlugin::setMains(bool on) {
    MessageWriter w;
    w.i32(on ? 1 : 0);
    request(kBridgeMains, w);
}

void BridgePlugin::setProgram(int program) {
    MessageWriter w;
    w.i32(program);
    request(kBridgeProgram, w);
}

void BridgePlugin::setParameter(int index, float value) {
    MessageWriter w;
    w.i32(index);
    w.f32(value);
    request(kBridgeSetParameter, w);
}

float BridgePlugin::getParameter(int index) {
    MessageWriter w;
    w.i32(index);
    const std::vector<uint8_t> body = request(kBridgeGetParameter, w);
    MessageReader r(body);
    return r.f32();
}

void BridgePlugin::process(const float* const* inputs, float* const* outputs, int frames, int block) {
    if (frames <= 0) return;
    const size_t n = static_cast<size_t>(frames);
    MessageWriter w;
    w.bytes().reserve(8 + 2 * n * sizeof(float));
    w.i32(frames);
    w.i32(block);
    w.floats(inputs[0], n);
    w.floats(inputs[1], n);
    const std::vector<uint8_t> body = request(kBridgeProcess, w);
    if (body.size() != 2 * n * sizeof(float)) throw RenderError("the plug-in bridge sent a malformed reply");
    std::memcpy(outputs[0], body.data(), n * sizeof(float));
    std::memcpy(outputs[1], body.data() + n * sizeof(float), n * sizeof(float));
}

EditorPicture BridgePlugin::processWithEditor(const float* const* inputs, float* const* outputs, int frames,
                                             int block) {
    const size_t n = frames > 0 ? static_cast<size_t>(frames) : 0;
    MessageWriter w;
    w.bytes().reserve(8 + 2 * n * sizeof(float));
    w.i32(static_cast<int32_t>(n));
    w.i32(block);
    if (n > 0) {
        w.floats(inputs[0], n);
        w.floats(inputs[1], n);
    }
    const std::vector<uint8_t> body = request(kBridgeEditorScreenshot, w, "cannot take the editor screenshot: ");
    MessageReader r(body);
    std::vector<float> audio(2 * n);
    r.floats(audio.data(), 2 * n);
    EditorPicture picture;
    picture.width = static_cast<int>(r.u32());
    picture.height = static_cast<int>(r.u32());
    const size_t bytes = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3;
    if (r.failed() || picture.width <= 0 || picture.height <= 0 || r.remaining() != bytes) {
        throw RenderError("the plug-in bridge sent a malformed reply");
    }
    picture.rgb.assign(body.end() - static_cast<std::ptrdiff_t>(bytes), body.end());
    if (n > 0) {
        std::memcpy(outputs[0], audio.data(), n * sizeof(float));
        std::memcpy(outputs[1], audio.data() + n, n * sizeof(float));
    }
    return picture;
}

int64_t BridgePlugin::dispatch(int32_t opcode, int32_t index, int64_t value, float opt, std::string* text) {
    MessageWriter w;
    w.i32(opcode);
    w.i32(index);
    w.i64(value);
    w.f32(opt);
    const std::vector<uint8_t> body = request(kBridgeDispatch, w);
    MessageReader r(body);
    const int64_t answer = r.i64();
    const std::string written = r.text();
    if (text) *text = written;
    return answer;
}

uint32_t BridgePlugin::requestCount(int32_t opcode) {
    MessageWriter w;
    w.i32(opcode);
    const std::vector<uint8_t> body = request(kBridgeRequestCount, w);
    MessageReader r(body);
    return r.u32();
}
