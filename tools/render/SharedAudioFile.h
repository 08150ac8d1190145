// SharedAudioFile: a temporary file mapped into this process that the Wine host maps too, so audio
// passes between them without going through pipes. The file's name goes as soon as the other side
// has mapped it; until then the interrupt handler can remove it (pendingPath).
#pragma once

#include <cstddef>
#include <string>

class SharedAudioFile {
public:
    // Creates and maps `bytes` zeroed bytes in /dev/shm (or $TMPDIR, /tmp). Throws RenderError.
    explicit SharedAudioFile(size_t bytes);
    ~SharedAudioFile();
    SharedAudioFile(const SharedAudioFile&) = delete;
    SharedAudioFile& operator=(const SharedAudioFile&) = delete;

    float* floats() const { return data; }
    const std::string& path() const { return filePath; }
    // Removes the name; the mappings stay.
    void unlinkName();

    // The file not yet unlinked, for the interrupt handler (async-signal-safe unlink of a fixed buffer).
    static const char* pendingPath();

private:
    float* data = nullptr;
    size_t size = 0;
    std::string filePath;
    bool linked = false;
};
