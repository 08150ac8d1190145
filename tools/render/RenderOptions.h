// RenderOptions: the command line of vozuv-render, checked before anything is loaded or written.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct RenderOptions {
    std::string input;    // empty: the built-in demo
    std::string output;   // empty: derived from the input
    std::string plugin;   // empty: the 32-bit DLL of the configured win32 build tree
    std::string plot;     // PNG of the levels and the gain reduction
    std::string editorScreenshot;  // PNG of the plug-in's editor at the end of the render
    std::string format = "float";  // float, pcm16, pcm24, pcm32 (FLAC: pcm16, pcm24)
    std::string demoDir = "vozuv-demo";
    int program = 0;      // 1 to 16, 0 keeps the plug-in's
    int block = 512;
    int zoom = 100;       // the editor screenshot's scale: 100, 150 or 200 percent
    std::vector<std::pair<std::string, float>> settings;
    bool info = false;
    bool help = false;

    // Fills the options; on a bad command line answers false with one line in error.
    bool parse(int argc, char** argv, std::string& error);
    static const char* usage();
    // The output name when none is given: INPUT's folder and stem with ".vozuv.wav".
    static std::string defaultOutput(const std::string& input);

private:
    // argv[i] is an option; its value, if it takes one, is argv[i + 1] and i moves past it.
    bool parseOption(int argc, char** argv, int& i, std::string& error);
    bool parseNumber(const std::string& option, const std::string& value, std::string& error);
    bool parseSetting(const std::string& value, std::string& error);
    // INPUT and OUTPUT, the output's default and its format checks.
    bool takeFileNames(const std::vector<std::string>& positional, std::string& error);
};
