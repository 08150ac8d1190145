// AudioReader: an input file read through libsndfile as interleaved floats, optionally read ahead into
// memory while something else (a starting Wine) keeps the renderer waiting.
#pragma once

#include <sndfile.h>

#include <functional>
#include <string>

class AudioReader {
public:
    // Throws RenderError with the reason when the file cannot be read or has more than two channels.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return info.channels; }
    int sampleRate() const { return info.samplerate; }
    long long frames() const { return static_cast<long long>(info.frames); }

    // Reads into memory while keepGoing() answers true, up to maxFrames frames or the end of the file.
    void readAhead(const std::function<bool()>& keepGoing, long long maxFrames);
    // The next `frames` frames (fewer only at the end of the file, 0 after it) as interleaved samples:
    // in the read-ahead, or read into `scratch` (room for `frames` frames). Valid until the next call.
    const float* next(float* scratch, long long frames, long long& got);
    long long readAheadFrames() const;

private:
    SNDFILE* file = nullptr;
    SF_INFO info{};
    std::string path;
    // Interleaved samples read ahead, [aheadUsed, aheadSize) not yet served, in a mapping of aheadBytes.
    void releaseAhead();
    float* ahead = nullptr;
    size_t aheadBytes = 0;
    size_t aheadSize = 0;
    size_t aheadUsed = 0;
};
