// AudioWriter: sf_open on "<name>.partial", sf_close and rename on commit.
#include "tools/render/AudioWriter.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/render/RenderPlugin.h"

namespace {
// The one file in progress, for the interrupt handler (async-signal-safe unlink of a fixed buffer).
char pending[4096];
}  // namespace

const char* AudioWriter::pendingPath() { return pending; }

AudioWriter::AudioWriter(const std::string& outputPath, int sampleRate, int channels, const std::string& format)
    : path(outputPath), temporary(outputPath + ".partial") {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool flac = lower.size() >= 5 && lower.compare(lower.size() - 5, 5, ".flac") == 0;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    int subtype = SF_FORMAT_FLOAT;
    description = "32-bit float";
    if (format == "pcm16") {
        subtype = SF_FORMAT_PCM_16;
        description = "16-bit";
    } else if (format == "pcm24") {
        subtype = SF_FORMAT_PCM_24;
        description = "24-bit";
    } else if (format == "pcm32") {
        subtype = SF_FORMAT_PCM_32;
        description = "32-bit integer";
    }
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | subtype;
    description = (flac ? "FLAC " : "WAV ") + description;
    if (!sf_format_check(&info)) throw RenderError("cannot write " + description + " with these settings");
    if (temporary.size() < sizeof pending) std::memcpy(pending, temporary.c_str(), temporary.size() + 1);
    file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file) {
        pending[0] = 0;
        throw RenderError("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    // Integer output: values beyond full scale are clipped rather than wrapped.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() {
    if (file) sf_close(file);
    if (!committed) std::remove(temporary.c_str());
    pending[0] = 0;
}

void AudioWriter::write(const float* interleaved, long long frames) {
    if (sf_writef_float(file, interleaved, frames) != frames) {
        throw RenderError("cannot write " + path + ": " + sf_strerror(file));
    }
}

void AudioWriter::commit() {
    const int closed = sf_close(file);
    file = nullptr;
    if (closed != 0) throw RenderError("cannot write " + path + ": " + sf_error_number(closed));
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        throw RenderError("cannot write " + path + ": " + std::strerror(errno));
    }
    committed = true;
    pending[0] = 0;
}
