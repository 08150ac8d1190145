// XvfbServer: Xvfb -displayfd tells which display it took once it accepts connections.
#include "tools/xvfb/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <string>

namespace {

constexpr int kStartTimeoutMilliseconds = 60000;
volatile pid_t livePid = -1;

}  // namespace

XvfbServer::XvfbServer() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw StartError("Xvfb did not start (no pipe)");
    const pid_t owner = getpid();
    pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        throw StartError("Xvfb did not start (cannot fork)");
    }
    if (pid == 0) {
        // SIGTERM lets Xvfb remove its lock and socket files, even if the owner blocked or ignored it.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGTERM, SIG_DFL);
        // The server ends with its owner however the owner ends (abort, crash, SIGKILL): the kernel signals
        // it when the forking thread exits. An owner gone before the request took effect shows in getppid.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != owner) _exit(127);
        const int null = ::open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        const int reportFd = dup(fds[1]);  // without close-on-exec
        const std::string fd = std::to_string(reportFd);
        // -noreset: without it the server resets when its last client leaves and refuses the next one
        // while it does.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1200x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    pollfd p{fds[0], POLLIN, 0};
    while (text.find('\n') == std::string::npos && poll(&p, 1, kStartTimeoutMilliseconds) > 0) {
        char buffer[32];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fds[0]);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        throw StartError("Xvfb did not start (install xvfb)");
    }
    name = ":" + text.substr(0, text.find('\n'));
    livePid = pid;
}

pid_t XvfbServer::runningPid() {
    return livePid;
}

XvfbServer::~XvfbServer() {
    if (pid <= 0) return;
    livePid = -1;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}
