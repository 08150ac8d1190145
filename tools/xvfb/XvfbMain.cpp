// vozuv-xvfb COMMAND [ARGS...]: starts a private Xvfb, runs the command with DISPLAY set to it, stops the
// server and exits with the command's status (128 + N when signal N ended it). A TERM, INT or HUP is
// passed on to the command, so the server outlives it and is still stopped.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/xvfb/XvfbServer.h"

namespace {

volatile sig_atomic_t stopSignal = 0;
volatile pid_t child = -1;

void passOn(int signalNumber) {
    stopSignal = signalNumber;
    if (child > 0) kill(child, signalNumber);
}

int runCommand(char** argv) {
    if (stopSignal) return 128 + stopSignal;
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("vozuv-xvfb: fork");
        return 127;
    }
    if (pid == 0) {
        for (int s : {SIGTERM, SIGINT, SIGHUP}) signal(s, SIG_DFL);
        execvp(argv[0], argv);
        std::fprintf(stderr, "vozuv-xvfb: cannot run %s\n", argv[0]);
        _exit(127);
    }
    child = pid;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vozuv-xvfb COMMAND [ARGS...]\n");
        return 2;
    }
    // Caught from the start, so a signal while the server starts still stops it.
    struct sigaction action {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
    try {
        XvfbServer server;
        setenv("DISPLAY", server.display().c_str(), 1);
        return runCommand(argv + 1);
    } catch (const XvfbServer::StartError& e) {
        std::fprintf(stderr, "vozuv-xvfb: %s\n", e.what());
        return 1;
    }
}
