// BridgeProcess: fork/exec with three pipes and poll-driven transfers that notice a dying child.
#include "tools/render/BridgeProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "tools/render/RenderPlugin.h"

namespace {

constexpr size_t kKeptErrorBytes = 8192;

void makePipe(int fds[2]) {
    if (pipe2(fds, O_CLOEXEC) != 0) throw RenderError(std::string("cannot create a pipe: ") + std::strerror(errno));
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace

BridgeProcess::BridgeProcess(const std::vector<std::string>& argv,
                             const std::vector<std::pair<std::string, std::string>>& env, std::string processName)
    : name(std::move(processName)) {
    // A dead reader must show as an error from write, not end the renderer.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    makePipe(in);
    makePipe(out);
    makePipe(err);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid = fork();
    if (pid < 0) throw RenderError(std::string("cannot start ") + name + ": " + std::strerror(errno));
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (const auto& e : env) setenv(e.first.c_str(), e.second.c_str(), 1);
        execvp(args[0], args.data());
        const std::string why = std::string("cannot run ") + args[0] + ": " + std::strerror(errno) + "\n";
        (void)!::write(2, why.data(), why.size());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    toChild = in[1];
    fromChild = out[0];
    errorsFromChild = err[0];
    fcntl(toChild, F_SETFL, fcntl(toChild, F_GETFL) | O_NONBLOCK);
    fcntl(errorsFromChild, F_SETFL, fcntl(errorsFromChild, F_GETFL) | O_NONBLOCK);
}

BridgeProcess::~BridgeProcess() {
    if (pid > 0 && !exited) {
        if (toChild >= 0) close(toChild);
        toChild = -1;
        reap(5.0);
    }
    for (int fd : {toChild, fromChild, errorsFromChild}) {
        if (fd >= 0) close(fd);
    }
}

void BridgeProcess::reap(double graceSeconds) {
    // Short naps first: a child that was told to quit is usually gone within milliseconds, and the
    // renderer's summary waits for it.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(graceSeconds);
    useconds_t nap = 500;
    while (!exited) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
        } else if (Clock::now() >= deadline) {
            break;
        } else {
            usleep(nap);
            nap = std::min<useconds_t>(nap * 2, 50000);
        }
    }
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        exited = true;
    }
}

bool BridgeProcess::readable() {
    pollfd fd{fromChild, POLLIN, 0};
    return poll(&fd, 1, 0) > 0;
}

void BridgeProcess::write(const void* data, size_t size) {
    transfer(static_cast<const uint8_t*>(data), size, nullptr, 0, 0.0);
}

void BridgeProcess::read(void* data, size_t size, double timeoutSeconds) {
    transfer(nullptr, 0, static_cast<uint8_t*>(data), size, timeoutSeconds);
}

void BridgeProcess::transfer(const uint8_t* out, size_t outSize, uint8_t* in, size_t inSize, double timeoutSeconds) {
    using Clock = std::chrono::steady_clock;
    auto lastProgress = Clock::now();
    while (outSize > 0 || inSize > 0) {
        pollfd fds[3] = {{errorsFromChild, POLLIN, 0}, {fromChild, POLLIN, 0}, {toChild, POLLOUT, 0}};
        const nfds_t count = outSize > 0 ? 3 : 2;
        if (inSize == 0) fds[1].events = 0;
        const int ready = poll(fds, count, 250);
        if (ready < 0 && errno != EINTR) died();
        if (fds[0].revents) drainErrors();
        bool progressed = false;
        if (inSize > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::read(fromChild, in, inSize);
            if (n <= 0) {
                if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
                died();
            }
            in += n;
            inSize -= static_cast<size_t>(n);
            progressed = true;
        }
        if (outSize > 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(toChild, out, outSize);
            if (n < 0) {
                if (errno != EAGAIN && errno != EINTR) died();
            } else {
                out += n;
                outSize -= static_cast<size_t>(n);
                progressed = true;
            }
        }
        if (progressed) {
            lastProgress = Clock::now();
            continue;
        }
        if (ready == 0) {
            // Its output may stay open in a grandchild after it died: ask the process itself.
            if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
            if (exited) died();
            if (timeoutSeconds > 0 &&
                std::chrono::duration<double>(Clock::now() - lastProgress).count() > timeoutSeconds) {
                throw RenderError(name + " did not answer within " + std::to_string(static_cast<int>(timeoutSeconds)) +
                                  " s" + lastErrorLine());
            }
        }
    }
}

void BridgeProcess::drainErrors() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(errorsFromChild, buffer, sizeof buffer);
        if (n <= 0) return;
        errors.append(buffer, static_cast<size_t>(n));
        if (errors.size() > kKeptErrorBytes) errors.erase(0, errors.size() - kKeptErrorBytes);
    }
}

std::string BridgeProcess::lastErrorLine() const {
    std::string text = errors;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    const size_t nl = text.find_last_of('\n');
    if (nl != std::string::npos) text = text.substr(nl + 1);
    return text.empty() ? "" : " (" + text + ")";
}

void BridgeProcess::died() {
    // Its pipes are closed or broken: it is on its way out. Give it a moment, then make sure.
    reap(5.0);
    drainErrors();
    throw RenderError(name + " died: " + describeStatus(status) + lastErrorLine());
}

int BridgeProcess::finish() {
    if (toChild >= 0) close(toChild);
    toChild = -1;
    reap(10.0);
    drainErrors();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
