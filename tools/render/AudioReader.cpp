// AudioReader: sf_open with the checks a renderer needs before it starts.
#include "tools/render/AudioReader.h"

#include <sys/stat.h>

#include "tools/render/RenderPlugin.h"

AudioReader::AudioReader(const std::string& inputPath) : path(inputPath) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) throw RenderError("cannot read " + path + ": no such file");
    if (S_ISDIR(st.st_mode)) throw RenderError("cannot read " + path + ": it is a folder");
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) throw RenderError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels > 2) {
        const int n = info.channels;
        sf_close(file);
        file = nullptr;
        throw RenderError(path + " has " + std::to_string(n) +
                          " channels; the plug-in takes mono or stereo files only (mix it down first)");
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        file = nullptr;
        throw RenderError("cannot read " + path + ": no audio in it");
    }
}

AudioReader::~AudioReader() {
    if (file) sf_close(file);
}

long long AudioReader::read(float* interleaved, long long frames) {
    return static_cast<long long>(sf_readf_float(file, interleaved, frames));
}
