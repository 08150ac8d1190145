// AudioReader: sf_open with the checks a renderer needs before it starts.
#include "tools/render/AudioReader.h"

#include <sys/stat.h>

#include <algorithm>

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

void AudioReader::readAhead(const std::function<bool()>& keepGoing, long long maxFrames) {
    constexpr long long kStep = 65536;  // frames per read: large reads, and a prompt look at keepGoing
    const size_t perFrame = static_cast<size_t>(info.channels);
    const long long limit = std::min(maxFrames, frames());
    ahead.reserve(static_cast<size_t>(std::max(0LL, limit)) * perFrame);
    long long have = 0;
    while (have < limit && keepGoing()) {
        const long long want = std::min(kStep, limit - have);
        ahead.resize(static_cast<size_t>(have + want) * perFrame);
        const long long got = std::max<long long>(0, sf_readf_float(file, ahead.data() + have * perFrame, want));
        have += got;
        ahead.resize(static_cast<size_t>(have) * perFrame);
        if (got < want) break;
    }
}

long long AudioReader::readAheadFrames() const {
    return static_cast<long long>((ahead.size() - aheadUsed) / static_cast<size_t>(info.channels));
}

const float* AudioReader::next(float* scratch, long long frames, long long& got) {
    const size_t perFrame = static_cast<size_t>(info.channels);
    const long long buffered = readAheadFrames();
    if (buffered >= frames) {
        const float* from = ahead.data() + aheadUsed;
        aheadUsed += static_cast<size_t>(frames) * perFrame;
        got = frames;
        return from;
    }
    // The rest of the read-ahead, then the file: a chunk is short only at the end of the file.
    std::copy(ahead.begin() + static_cast<std::ptrdiff_t>(aheadUsed), ahead.end(), scratch);
    std::vector<float>().swap(ahead);
    aheadUsed = 0;
    got = buffered + std::max<long long>(0, sf_readf_float(file, scratch + buffered * static_cast<long long>(perFrame),
                                                           frames - buffered));
    return scratch;
}
