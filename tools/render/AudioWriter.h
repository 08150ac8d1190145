// AudioWriter: an output file written under a temporary name and renamed into place only when
// complete, so a failed render leaves no half-written file.
#pragma once

#include <sndfile.h>

#include <string>

class AudioWriter {
public:
    // format: float, pcm16, pcm24 or pcm32; the container follows the extension (.wav or .flac).
    AudioWriter(const std::string& path, int sampleRate, int channels, const std::string& format);
    ~AudioWriter();  // removes the temporary file unless commit() succeeded
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, long long frames);
    // Closes the file and renames it to its final name.
    void commit();
    // "WAV 32-bit float", "FLAC 24-bit" ...
    std::string formatName() const { return description; }

    // The temporary file being written, removed by the interrupt handler of the renderer.
    static const char* pendingPath();

private:
    SNDFILE* file = nullptr;
    std::string path;
    std::string temporary;
    std::string description;
    bool committed = false;
};
