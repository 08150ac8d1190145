// vozuv-render: renders audio files through the VozuvAzirOVA plug-in as a host would, or, without an
// input file, a built-in demo.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <sstream>

#include "tools/pngencoder/PngEncoder.h"
#include "tools/render/AudioReader.h"
#include "tools/render/AudioWriter.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/LevelPlot.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderPlugin.h"
#include "tools/render/Renderer.h"
#include "tools/render/SharedAudioFile.h"
#include "tools/xvfb/XvfbServer.h"

namespace {

// At most this much input (256 MB of stereo floats) is read ahead while the plug-in starts.
constexpr long long kReadAheadFrames = 1LL << 25;

void interrupted(int signalNumber) {
    // Never leave a half-written output behind, even on Ctrl-C.
    const char* pending = AudioWriter::pendingPath();
    if (pending[0]) unlink(pending);
    const char* shared = SharedAudioFile::pendingPath();
    if (shared[0]) unlink(shared);
    const pid_t display = XvfbServer::runningPid();
    if (display > 0) kill(display, SIGTERM);
    _exit(128 + signalNumber);
}

std::string decibelText(double db) {
    char buffer[32];
    if (std::isinf(db)) return "-inf";
    std::snprintf(buffer, sizeof buffer, "%.2f", db);
    return buffer;
}

std::string duration(double seconds) {
    char buffer[32];
    const int minutes = static_cast<int>(seconds / 60.0);
    std::snprintf(buffer, sizeof buffer, "%d:%06.3f", minutes, seconds - 60.0 * minutes);
    return buffer;
}

void printInfo(RenderPlugin& plugin, const PluginInfo& info) {
    std::printf("loaded:     %s\n", plugin.description().c_str());
    std::printf("effect:     %s\n", info.effectName.c_str());
    std::printf("product:    %s\n", info.product.c_str());
    std::printf("vendor:     %s (version %d)\n", info.vendor.c_str(), info.vendorVersion);
    std::printf("unique id:  %s (0x%08x), category %d, VST version %d\n", info.uniqueIDText().c_str(),
                static_cast<unsigned>(info.uniqueID), info.category, info.vstVersion);
    std::printf("flags:      0x%x (%s)\n", static_cast<unsigned>(info.flags), info.flagsText().c_str());
    std::printf("channels:   %d in, %d out; %d-bit binary\n", info.numInputs, info.numOutputs, info.pointerBits);
    std::printf("parameters: %d\n", info.numParams);
    for (size_t i = 0; i < info.parameters.size(); ++i) {
        const ParameterInfo& p = info.parameters[i];
        std::printf("  %2zu  %-14s %-8s %.6f  %s\n", i, p.name.c_str(), p.label.c_str(), static_cast<double>(p.value),
                    p.display.c_str());
    }
    std::printf("programs:   %d (current: %d)\n", info.numPrograms, info.currentProgram + 1);
    for (size_t i = 0; i < info.programs.size(); ++i) std::printf("  %2zu  %s\n", i + 1, info.programs[i].c_str());
}

std::string summary(const std::string& loaded, const PluginInfo& info, const RenderOptions& options,
                    const RenderResult& r, const EditorPicture& editor, double loadSeconds) {
    std::ostringstream s;
    const RenderStats& st = r.stats;
    const double length = r.sampleRate > 0 ? static_cast<double>(r.frames) / r.sampleRate : 0.0;
    s << "plug-in:        " << info.effectName << " (" << info.uniqueIDText() << "), " << loaded << "\n";
    s << "program:        " << info.currentProgram + 1;
    for (const auto& setting : options.settings) s << ", " << setting.first << "=" << setting.second;
    s << "\n";
    s << "input:          " << options.input << " (" << r.sampleRate << " Hz, "
      << (r.channels == 1 ? "mono" : "stereo") << ", " << duration(length) << ")\n";
    s << "output:         " << options.output << " (" << r.outputFormat << ")\n";
    s << "input level:    peak " << decibelText(st.inputPeakDb()) << " dBFS, RMS " << decibelText(st.inputRmsDb())
      << " dBFS\n";
    s << "output level:   peak " << decibelText(st.outputPeakDb()) << " dBFS, RMS " << decibelText(st.outputRmsDb())
      << " dBFS\n";
    s << "gain reduction: largest " << decibelText(st.largestReductionDb()) << " dB, average "
      << decibelText(st.averageReductionDb()) << " dB\n";
    char speed[64];
    // The frames played with the editor open went at real time: they do not count towards the speed.
    const double rendered = r.sampleRate > 0 ? static_cast<double>(r.frames - r.editorFrames) / r.sampleRate : 0.0;
    std::snprintf(speed, sizeof speed, "%.2f s (%.1fx real time)", r.seconds,
                  r.seconds > 0 ? rendered / r.seconds : 0.0);
    s << "audio length:   " << duration(length) << " (" << r.frames << " frames, blocks of " << options.block
      << ")\n";
    s << "time taken:     " << speed;
    char load[48];
    std::snprintf(load, sizeof load, ", plus %.2f s to load the plug-in\n", loadSeconds);
    s << load;
    if (!options.editorScreenshot.empty()) {
        char editorLine[160];
        const double played = r.sampleRate > 0 ? static_cast<double>(r.editorFrames) / r.sampleRate : 0.0;
        std::snprintf(editorLine, sizeof editorLine, " (%d x %d; the last %.2f s played with the editor open)\n",
                      editor.width, editor.height, played);
        s << "editor:         " << options.editorScreenshot << editorLine;
    }
    return s.str();
}

// A picture is written under a temporary name in its folder and renamed: the folder must take files.
void checkWritable(const std::string& path, const std::string& what) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        throw RenderError("cannot write " + what + " " + path + ": it is a folder");
    }
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        throw RenderError("cannot write " + what + " " + path + ": no folder " + folder);
    }
    if (access(folder.c_str(), W_OK) != 0) {
        throw RenderError("cannot write " + what + " " + path + ": " + std::strerror(errno));
    }
}

// The plug-in binary to load: --plugin, or the product in the configured win32 tree.
std::string pluginPathFor(const RenderOptions& options, const ToolPaths& paths) {
    if (!options.plugin.empty()) return options.plugin;
    const std::string path = paths.defaultPlugin();
    if (access(path.c_str(), F_OK) != 0) {
        throw RenderError("no plug-in at " + path +
                          ": build the win32 tree (scripts/build.sh win32 build/win32) or give --plugin PATH");
    }
    return path;
}

// Checked before anything is rendered: a long render must not end in "cannot do that".
void checkPictures(const RenderOptions& options) {
    if (options.info) return;
    if (!options.editorScreenshot.empty()) checkWritable(options.editorScreenshot, "the editor screenshot");
    if (!options.plot.empty()) checkWritable(options.plot, "the plot");
}

// The demo: its folder, input signal, file names, settings and program 1 unless another is given.
void prepareDemo(RenderOptions& options, const std::string& pluginPath) {
    if (mkdir(options.demoDir.c_str(), 0755) != 0 && errno != EEXIST) {
        throw RenderError("cannot create the demo folder " + options.demoDir + ": " + std::strerror(errno));
    }
    options.input = options.demoDir + "/input.wav";
    options.output = options.demoDir + "/output.wav";
    if (options.plot.empty()) options.plot = options.demoDir + "/levels.png";
    if (options.editorScreenshot.empty() && access(pluginPath.c_str(), R_OK) == 0) {
        options.editorScreenshot = options.demoDir + "/editor.png";
    }
    std::vector<std::pair<std::string, float>> settings = DemoSignal::settings();
    settings.insert(settings.end(), options.settings.begin(), options.settings.end());
    options.settings = settings;
    if (options.program == 0) options.program = 1;
    const std::vector<float> signal = DemoSignal::generate();
    AudioWriter writer(options.input, DemoSignal::kSampleRate, 2, "float");
    writer.write(signal.data(), static_cast<long long>(signal.size() / 2));
    writer.commit();
}

// Plot, editor picture, summary (and the demo's copy of it).
void writeResults(const RenderOptions& options, const RenderResult& result, const EditorPicture& editor,
                  const std::string& summaryText, bool demo) {
    if (!options.plot.empty()) {
        const std::string title = "VozuvAzirOVA: " + options.input + " -> " + options.output;
        LevelPlot::write(options.plot, result.stats, result.sampleRate, title);
    }
    if (!options.editorScreenshot.empty() &&
        !PngEncoder::writeFile(options.editorScreenshot, editor.rgb.data(), editor.width, editor.height, 3)) {
        throw RenderError("cannot write the editor screenshot " + options.editorScreenshot + ": " +
                          std::strerror(errno));
    }
    std::fputs(summaryText.c_str(), stdout);
    if (!options.plot.empty()) std::printf("plot:           %s\n", options.plot.c_str());
    if (!demo) return;
    std::FILE* f = std::fopen((options.demoDir + "/summary.txt").c_str(), "w");
    if (f) {
        std::fputs(summaryText.c_str(), f);
        std::fclose(f);
    }
    std::printf("demo:           %s/ (input.wav, output.wav, levels.png, %ssummary.txt)\n", options.demoDir.c_str(),
                options.editorScreenshot == options.demoDir + "/editor.png" ? "editor.png, " : "");
}

int run(RenderOptions& options) {
    const ToolPaths paths = ToolPaths::configured();
    const std::string pluginPath = pluginPathFor(options, paths);
    const bool demo = options.input.empty() && !options.info;
    checkPictures(options);
    if (demo) prepareDemo(options, pluginPath);

    // The input is checked before the plug-in starts: a typo must not cost a Wine start.
    std::unique_ptr<AudioReader> reader;
    if (!options.info) reader = std::make_unique<AudioReader>(options.input);
    const int sampleRate = reader ? reader->sampleRate() : 44100;

    const auto loadStart = std::chrono::steady_clock::now();
    const bool withEditor = !options.editorScreenshot.empty() && !options.info;
    std::unique_ptr<RenderPlugin> plugin = RenderPlugin::open(pluginPath, paths, withEditor, options.zoom);
    // Wine takes a while to start: the input is read meanwhile.
    if (reader) reader->readAhead([&] { return plugin->starting(); }, kReadAheadFrames);
    Renderer renderer(*plugin, options.block);
    renderer.configure(static_cast<float>(sampleRate), options.program, options.settings);
    const double loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    if (options.info) {
        printInfo(*plugin, plugin->info());
        return 0;
    }
    EditorPicture editor;
    const RenderResult result =
        renderer.render(*reader, options.output, options.format, true, withEditor ? &editor : nullptr);
    const PluginInfo info = plugin->info();
    const std::string loaded = plugin->description();
    plugin.reset();
    writeResults(options, result, editor, summary(loaded, info, options, result, editor, loadSeconds), demo);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!options.parse(argc, argv, error)) {
        std::fprintf(stderr, "vozuv-render: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(RenderOptions::usage(), stdout);
        return 0;
    }
    signal(SIGINT, interrupted);
    signal(SIGTERM, interrupted);
    try {
        return run(options);
    } catch (const RenderError& e) {
        std::fprintf(stderr, "vozuv-render: %s\n", e.what());
        return 1;
    }
}
