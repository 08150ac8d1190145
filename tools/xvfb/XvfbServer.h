// XvfbServer: a private virtual X display (no window manager, no TCP) on a free display number, for
// programs that must show windows where no display is set. Stopped (and reaped) with the object, and ended
// by the kernel when the thread that made it exits, however it exits (abort, crash, SIGKILL): make it on a
// thread that lives as long as the object. The one way this project starts Xvfb: the renderer, the X11
// tests and benchmarks use the class, and scripts/wine-run.sh uses it through vozuv-xvfb.
#pragma once

#include <sys/types.h>

#include <stdexcept>
#include <string>

class XvfbServer {
  public:
    struct StartError : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // Throws StartError with one line when Xvfb cannot be started.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N", for DISPLAY.
    const std::string& display() const { return name; }
    // The server of this process, -1 when none: interrupt handlers stop it.
    static pid_t runningPid();

  private:
    pid_t pid = -1;
    std::string name;
};
