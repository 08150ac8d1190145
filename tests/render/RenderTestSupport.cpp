// RenderTestSupport: process spawning, scratch folders, libsndfile round trips, the in-process reference.
#include "tests/render/RenderTestSupport.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& scratchDirs() {
    static std::vector<std::string> dirs;
    return dirs;
}

void removeScratch() {
    for (const std::string& d : scratchDirs()) {
        std::error_code ignored;
        fs::remove_all(d, ignored);
    }
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::string scratchDir() {
    if (scratchDirs().empty()) std::atexit(removeScratch);
    char pattern[] = "/tmp/vozuv-render-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    scratchDirs().push_back(made ? made : "/tmp");
    return scratchDirs().back();
}

bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> listDir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CommandResult runRender(const std::vector<std::string>& args, const std::string& cwd,
                        const std::vector<std::pair<std::string, std::string>>& env) {
    const std::string logs = scratchDir();
    const std::string where = cwd.empty() ? scratchDir() : cwd;
    const std::string outPath = logs + "/stdout", errPath = logs + "/stderr";
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (chdir(where.c_str()) != 0) _exit(126);
        for (const auto& e : env) setenv(e.first.c_str(), e.second.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(VOZUV_RENDER_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CommandResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    return r;
}

Audio makeSignal(int sampleRate, int channels, double seconds) {
    Audio a;
    a.sampleRate = sampleRate;
    a.channels = channels;
    const int frames = static_cast<int>(seconds * sampleRate);
    a.samples.resize(static_cast<size_t>(frames) * channels);
    uint32_t noise = 1;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double envelope = std::fmod(t, 0.4) < 0.2 ? 0.7 : 0.02;  // loud and quiet stretches
        const double hit = std::fmod(t, 0.25) < 0.002 ? 0.9 : 0.0;
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double n = (static_cast<double>(noise >> 8) / 8388608.0 - 1.0) * 0.05;
            const double v = envelope * std::sin(2.0 * M_PI * (330.0 + 110.0 * c) * t) + hit + n;
            a.samples[static_cast<size_t>(i) * channels + c] = static_cast<float>(std::max(-1.0, std::min(1.0, v)));
        }
    }
    return a;
}

void writeAudio(const std::string& path, const Audio& audio, int format) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = format ? format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_float(f, audio.samples.data(), audio.frames()), audio.frames());
    sf_close(f);
}

Audio readAudio(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    Audio a;
    if (!f) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return a;
    }
    a.sampleRate = info.samplerate;
    a.channels = info.channels;
    a.samples.resize(static_cast<size_t>(info.frames) * info.channels);
    sf_readf_float(f, a.samples.data(), info.frames);
    sf_close(f);
    return a;
}

std::string nativePlugin() { return VOZUV_NATIVE_PLUGIN; }
std::string win32Dll() { return std::string(VOZUV_WIN32_DIR_DEFAULT) + "/VozuvAzirOVA.dll"; }
std::string win32WinHost() { return std::string(VOZUV_WIN32_DIR_DEFAULT) + "/vozuv-winhost.exe"; }
bool win32TreeReady() { return fileExists(win32Dll()) && fileExists(win32WinHost()); }

bool NativeReference::open() {
    if (!library.open(nativePlugin())) {
        ADD_FAILURE() << library.error();
        return false;
    }
    if (!host.instantiate(library.entry())) {
        ADD_FAILURE() << host.error();
        return false;
    }
    host.dispatch(effOpen);
    return true;
}

void BridgeBesideNativeTest::SetUp() {
    SKIP_WITHOUT_NATIVE();
    SKIP_WITHOUT_WIN32();
    bridge = std::make_unique<BridgePlugin>(win32Dll(), "win32", ToolPaths::configured());
    ASSERT_TRUE(native.open());
}

Audio processInProcess(const Audio& input, int block, int program,
                       const std::vector<std::pair<std::string, float>>& settings) {
    Audio out = input;
    NativeReference reference;
    if (!reference.open()) return out;
    PluginHost& host = reference.host;
    host.setSampleRate(static_cast<float>(input.sampleRate));
    host.setBlockSize(block);
    if (program > 0) host.setProgram(program - 1);
    for (const auto& s : settings) {
        const VstInt32 index = host.findParameter(s.first);
        EXPECT_GE(index, 0) << s.first;
        host.setParameter(index, s.second);
    }
    host.setMains(true);
    const size_t n = static_cast<size_t>(input.frames());
    std::vector<float> in(2 * n), result(2 * n);
    for (size_t i = 0; i < n; ++i) {
        in[i] = input.samples[i * input.channels];
        in[n + i] = input.samples[i * input.channels + input.channels - 1];
    }
    const float* inputs[2] = {in.data(), in.data() + n};
    float* outputs[2] = {result.data(), result.data() + n};
    host.processBlocks(inputs, outputs, 2, static_cast<int>(n), block);
    host.setMains(false);
    for (size_t i = 0; i < n; ++i) {
        for (int c = 0; c < input.channels; ++c) out.samples[i * input.channels + c] = outputs[c][i];
    }
    return out;
}

double largestDifference(const Audio& a, const Audio& b) {
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.sampleRate, b.sampleRate);
    EXPECT_EQ(a.samples.size(), b.samples.size());
    double largest = 0.0;
    for (size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i) {
        largest = std::max(largest, std::fabs(static_cast<double>(a.samples[i]) - b.samples[i]));
    }
    return a.samples.size() == b.samples.size() ? largest : INFINITY;
}
