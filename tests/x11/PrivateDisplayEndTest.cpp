// PrivateDisplayEndTest: a program's private Xvfb ends with the program, also when it aborts or is killed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tools/xvfb/XvfbServer.h"

namespace {

// False once pid has ended, as a zombie nobody reaps too.
bool running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return false;
    const size_t name = text.rfind(')');
    return name != std::string::npos && name + 2 < text.size() && text[name + 2] != 'Z' && text[name + 2] != 'X';
}

bool endsWithin(pid_t pid, std::chrono::seconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (running(pid)) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A program that starts its private display and waits, ended by the signal; answers its server's pid.
pid_t serverOfAProgramEndedBy(int signalNumber) {
    int report[2];
    if (pipe(report) != 0) return -1;
    const pid_t program = fork();
    if (program == 0) {
        close(report[0]);
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        // A sanitizer's handler would turn the crash into an exit: the program dies of the signal itself.
        signal(signalNumber, SIG_DFL);
        try {
            XvfbServer server;
            const pid_t pid = XvfbServer::runningPid();
            if (write(report[1], &pid, sizeof pid) != sizeof pid) _exit(2);
            for (;;) pause();
        } catch (const XvfbServer::StartError&) {
            _exit(1);
        }
    }
    close(report[1]);
    pid_t server = -1;
    if (program < 0 || read(report[0], &server, sizeof server) != sizeof server) server = -1;
    close(report[0]);
    if (program > 0) {
        kill(program, signalNumber);
        int status = 0;
        waitpid(program, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << "status " << status;
    }
    return server;
}

TEST(PrivateDisplayEndTest, TheServerEndsWhenItsProgramAbortsCrashesOrIsKilled) {
    for (const int signalNumber : {SIGABRT, SIGSEGV, SIGKILL}) {
        SCOPED_TRACE("program ended by signal " + std::to_string(signalNumber));
        const pid_t server = serverOfAProgramEndedBy(signalNumber);
        ASSERT_GT(server, 0) << "the program did not start its display";
        EXPECT_TRUE(endsWithin(server, std::chrono::seconds(30))) << "Xvfb " << server << " outlived its program";
        if (running(server)) kill(server, SIGTERM);
    }
}

}  // namespace
