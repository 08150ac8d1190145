// vozuv-lv2-ttl: writes the bundle's manifest.ttl and plug-in description into the bundle folder.
#include <cstdio>
#include <string>

#include "lv2/dsp/TurtleWriter.h"

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: vozuv-lv2-ttl BUNDLE_DIR PLUGIN_URI UI_URI DSP_BINARY UI_BINARY PLUGIN_TTL\n");
        return 2;
    }
    const std::string bundle = argv[1];
    const TurtleWriter writer(TurtleNames{argv[2], argv[3], argv[4], argv[5], argv[6]});
    if (!writeFile(bundle + "/manifest.ttl", writer.manifest()) ||
        !writeFile(bundle + "/" + argv[6], writer.plugin())) {
        std::fprintf(stderr, "vozuv-lv2-ttl: cannot write into %s\n", bundle.c_str());
        return 1;
    }
    return 0;
}
