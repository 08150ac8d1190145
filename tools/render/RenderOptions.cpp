// RenderOptions: parsing and checking the options of vozuv-render.
#include "tools/render/RenderOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool parseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == 0 && errno == 0;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) != suffix[i]) return false;
    }
    return true;
}

}  // namespace

const char* RenderOptions::usage() {
    return "usage: vozuv-render [options] [INPUT [OUTPUT]]\n"
           "Renders INPUT (any format libsndfile reads, mono or stereo) through the VozuvAzirOVA plug-in into\n"
           "OUTPUT (.wav or .flac; default INPUT's name with .vozuv.wav). Without INPUT it renders a built-in\n"
           "demo into the folder vozuv-demo.\n"
           "  --program N         program 1 to 16 before the settings\n"
           "  --set NAME=VALUE    a parameter by the name the plug-in reports, VALUE from 0 to 1 (repeatable)\n"
           "  --block N           frames per processing block, 1 to 65536 (default 512)\n"
           "  --plugin PATH       the plug-in: the native VozuvAzirOVA.so, the 32-bit or the 64-bit DLL\n"
           "                      (default: the 32-bit DLL of the win32 build tree, run under Wine)\n"
           "  --format F          float (default), pcm16, pcm24 or pcm32; FLAC takes pcm16 or pcm24\n"
           "  --plot FILE.png     picture of input and output levels and the gain reduction over time\n"
           "  --editor-screenshot FILE.png\n"
           "                      picture of the plug-in's editor, its meters showing the end of the render\n"
           "                      (the last second plays in real time with the editor open, a DLL's under\n"
           "                      Wine, a native library's in an X11 window; without DISPLAY a private Xvfb\n"
           "                      is started; the demo saves editor.png in its folder)\n"
           "  --zoom 150|200      the editor screenshot at that size, as if chosen in the editor's size menu\n"
           "                      (the user's own choice is left as it is; default 100)\n"
           "  --demo-dir DIR      folder of the demo (default vozuv-demo)\n"
           "  --info              print what the plug-in reports and which binary was loaded, then stop\n"
           "  -h, --help          this text\n";
}

std::string RenderOptions::defaultOutput(const std::string& input) {
    const size_t slash = input.find_last_of('/');
    const size_t dot = input.find_last_of('.');
    const std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                                 ? input.substr(0, dot)
                                 : input;
    return stem + ".vozuv.wav";
}

bool RenderOptions::parse(int argc, char** argv, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.size() > 1 && a[0] == '-') {
            if (!parseOption(argc, argv, i, error)) return false;
        } else {
            positional.push_back(a);
        }
    }
    return takeFileNames(positional, error);
}

bool RenderOptions::parseOption(int argc, char** argv, int& i, std::string& error) {
    const std::string a = argv[i];
    std::string value;
    auto next = [&]() {
        if (i + 1 >= argc) {
            error = a + " needs a value";
            return false;
        }
        value = argv[++i];
        return true;
    };
    if (a == "-h" || a == "--help") {
        help = true;
    } else if (a == "--info") {
        info = true;
    } else if (a == "--program" || a == "--block") {
        return next() && parseNumber(a, value, error);
    } else if (a == "--zoom") {
        if (!next()) return false;
        if (value != "100" && value != "150" && value != "200") {
            error = "--zoom wants 100, 150 or 200, not \"" + value + "\"";
            return false;
        }
        zoom = std::atoi(value.c_str());
    } else if (a == "--set") {
        return next() && parseSetting(value, error);
    } else if (a == "--plugin") {
        if (!next()) return false;
        plugin = value;
    } else if (a == "--plot" || a == "--editor-screenshot") {
        if (!next()) return false;
        if (!endsWith(value, ".png")) {
            error = a + " wants a file name ending in .png, not \"" + value + "\"";
            return false;
        }
        (a == "--plot" ? plot : editorScreenshot) = value;
    } else if (a == "--format") {
        if (!next()) return false;
        if (value != "float" && value != "pcm16" && value != "pcm24" && value != "pcm32") {
            error = "--format wants float, pcm16, pcm24 or pcm32, not \"" + value + "\"";
            return false;
        }
        format = value;
    } else if (a == "--demo-dir") {
        if (!next()) return false;
        demoDir = value;
    } else {
        error = "unknown option " + a + " (see --help)";
        return false;
    }
    return true;
}

bool RenderOptions::parseNumber(const std::string& option, const std::string& value, std::string& error) {
    long n = 0;
    if (option == "--program") {
        if (!parseInteger(value, n) || n < 1 || n > 16) {
            error = "--program wants a number from 1 to 16, not \"" + value + "\"";
            return false;
        }
        program = static_cast<int>(n);
        return true;
    }
    if (!parseInteger(value, n) || n < 1 || n > 65536) {
        error = "--block wants a block size from 1 to 65536 frames, not \"" + value + "\"";
        return false;
    }
    block = static_cast<int>(n);
    return true;
}

bool RenderOptions::parseSetting(const std::string& value, std::string& error) {
    const size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "--set wants NAME=VALUE, not \"" + value + "\"";
        return false;
    }
    const std::string name = value.substr(0, eq), number = value.substr(eq + 1);
    char* end = nullptr;
    const double v = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != 0 || !std::isfinite(v) || v < 0.0 || v > 1.0) {
        error = "the value of " + name + " must be a number from 0 to 1, not \"" + number + "\"";
        return false;
    }
    settings.emplace_back(name, static_cast<float>(v));
    return true;
}

bool RenderOptions::takeFileNames(const std::vector<std::string>& positional, std::string& error) {
    if (positional.size() > 2) {
        error = "too many file names: give INPUT and at most one OUTPUT";
        return false;
    }
    if (!editorScreenshot.empty() && editorScreenshot == plot) {
        error = "the editor screenshot and the plot would both be \"" + plot + "\"";
        return false;
    }
    if (!positional.empty()) input = positional[0];
    if (positional.size() == 2) output = positional[1];
    if (!input.empty() && output.empty()) output = defaultOutput(input);
    if (output.empty()) return true;
    const bool flac = endsWith(output, ".flac");
    if (!flac && !endsWith(output, ".wav")) {
        error = "the output must end in .wav or .flac: \"" + output + "\"";
        return false;
    }
    if (flac && format == "float") format = "pcm24";
    if (flac && format == "pcm32") {
        error = "FLAC holds 16 or 24 bits: use --format pcm16 or pcm24";
        return false;
    }
    if (output == input) {
        error = "the output would overwrite the input \"" + input + "\"";
        return false;
    }
    return true;
}
