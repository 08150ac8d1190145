// BridgeProcess: a child process reached through its standard input and output, with its standard
// error kept for the report when it dies. Any failure is thrown as RenderError.
#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

class BridgeProcess {
public:
    // Starts argv[0] (looked up in PATH) with the extra environment variables; name is how errors call it.
    BridgeProcess(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env,
                  std::string name);
    ~BridgeProcess();  // closes its input and waits a moment for it, then kills it
    BridgeProcess(const BridgeProcess&) = delete;
    BridgeProcess& operator=(const BridgeProcess&) = delete;

    // Sends and receives whole buffers; a dead child or a silence longer than timeoutSeconds throws.
    void write(const void* data, size_t size);
    void read(void* data, size_t size, double timeoutSeconds = 0.0);
    // True when the child has written something not yet read, or has closed its output.
    bool readable();
    // Closes the child's input and waits for it; answers its exit status (or 128 + signal).
    int finish();

private:
    // Moves data both ways until the write is done and the read is filled.
    void transfer(const uint8_t* out, size_t outSize, uint8_t* in, size_t inSize, double timeoutSeconds);
    // Waits up to graceSeconds for the child to end by itself, then kills it; `status` holds how it ended.
    void reap(double graceSeconds);
    void drainErrors();
    [[noreturn]] void died();
    std::string lastErrorLine() const;

    std::string name;
    pid_t pid = -1;
    int toChild = -1;
    int fromChild = -1;
    int errorsFromChild = -1;
    std::string errors;  // the tail of what the child wrote on its standard error
    bool exited = false;
    int status = 0;
};
