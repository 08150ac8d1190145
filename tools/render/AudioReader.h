// AudioReader: an input file read through libsndfile as interleaved floats.
#pragma once

#include <sndfile.h>

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
    // Reads up to `frames` frames; answers how many came.
    long long read(float* interleaved, long long frames);

private:
    SNDFILE* file = nullptr;
    SF_INFO info{};
    std::string path;
};
