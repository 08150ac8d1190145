// XvfbServer: a private virtual X display for the bridge when the editor must show a window and no
// display is set. Started on a free display number; stopped (and reaped) with the object.
#pragma once

#include <sys/types.h>

#include <string>

class XvfbServer {
  public:
    // Throws RenderError with one line when Xvfb cannot be started.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N", for DISPLAY.
    const std::string& display() const { return name; }
    // The server of this process, -1 when none: the interrupt handler stops it.
    static pid_t runningPid();

  private:
    pid_t pid = -1;
    std::string name;
};
