// AudioReader: sf_open with the checks a renderer needs before it starts.
#include "tools/render/AudioReader.h"

#include <sys/mman.h>
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
    releaseAhead();
    if (file) sf_close(file);
}

void AudioReader::readAhead(const std::function<bool()>& keepGoing, long long maxFrames) {
    constexpr long long kStep = 65536;  // frames per read: large reads, and a prompt look at keepGoing
    const size_t perFrame = static_cast<size_t>(info.channels);
    const long long limit = std::min(maxFrames, frames());
    if (limit <= 0 || !keepGoing()) return;
    releaseAhead();
    // Huge pages where the system allows them: hundreds of megabytes in 4 KB pages cost a fault each.
    constexpr size_t kHugePage = size_t(1) << 21;
    aheadBytes = (static_cast<size_t>(limit) * perFrame * sizeof(float) + kHugePage - 1) / kHugePage * kHugePage;
    void* mapped = mmap(nullptr, aheadBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        aheadBytes = 0;
        return;  // no room: the file is read as it goes
    }
    madvise(mapped, aheadBytes, MADV_HUGEPAGE);
    ahead = static_cast<float*>(mapped);
    long long have = 0;
    while (have < limit && keepGoing()) {
        const long long want = std::min(kStep, limit - have);
        const long long got = std::max<long long>(0, sf_readf_float(file, ahead + have * perFrame, want));
        have += got;
        if (got < want) break;
    }
    aheadSize = static_cast<size_t>(have) * perFrame;
}

void AudioReader::releaseAhead() {
    if (ahead) munmap(ahead, aheadBytes);
    ahead = nullptr;
    aheadBytes = aheadSize = aheadUsed = 0;
}

long long AudioReader::readAheadFrames() const {
    return static_cast<long long>((aheadSize - aheadUsed) / static_cast<size_t>(info.channels));
}

const float* AudioReader::next(float* scratch, long long frames, long long& got) {
    const size_t perFrame = static_cast<size_t>(info.channels);
    const long long buffered = readAheadFrames();
    if (buffered >= frames) {
        const float* from = ahead + aheadUsed;
        aheadUsed += static_cast<size_t>(frames) * perFrame;
        got = frames;
        return from;
    }
    // The rest of the read-ahead, then the file: a chunk is short only at the end of the file.
    if (buffered > 0) std::copy(ahead + aheadUsed, ahead + aheadSize, scratch);
    releaseAhead();
    got = buffered + std::max<long long>(0, sf_readf_float(file, scratch + buffered * static_cast<long long>(perFrame),
                                                           frames - buffered));
    return scratch;
}
