// SharedAudioFile: mkstemp, ftruncate, mmap shared.
#include "tools/render/SharedAudioFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/render/RenderPlugin.h"

namespace {

char pending[4096];

// Memory-backed when possible: the file is only ever a window between two processes.
std::string folder() {
    struct stat st {};
    if (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? tmp : "/tmp";
}

}  // namespace

const char* SharedAudioFile::pendingPath() { return pending; }

SharedAudioFile::SharedAudioFile(size_t bytes) : size(bytes) {
    std::string name = folder() + "/vozuv-render-audio-XXXXXX";
    const int fd = mkstemp(&name[0]);
    if (fd < 0) throw RenderError("cannot create the audio file shared with the bridge: " + std::string(std::strerror(errno)));
    filePath = name;
    linked = true;
    if (filePath.size() < sizeof pending) std::memcpy(pending, filePath.c_str(), filePath.size() + 1);
    void* mapped = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
        mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    const int error = errno;
    close(fd);
    if (mapped == MAP_FAILED) {
        unlinkName();
        throw RenderError("cannot map the audio file shared with the bridge: " + std::string(std::strerror(error)));
    }
    data = static_cast<float*>(mapped);
}

SharedAudioFile::~SharedAudioFile() {
    unlinkName();
    if (data) munmap(data, size);
}

void SharedAudioFile::unlinkName() {
    if (!linked) return;
    unlink(filePath.c_str());
    linked = false;
    pending[0] = 0;
}
