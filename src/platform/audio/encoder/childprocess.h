#pragma once

#include "platform/audio/encoder/fdhandle.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// A program started without a shell, its standard input, output and error
// connected to pipes whose other ends the caller gets. No other descriptor of
// ours reaches it. An unreaped child is killed and reaped when this goes.
class ChildProcess {
public:
    // Null on failure, with error set to the reason (an errno value).
    static std::unique_ptr<ChildProcess>
    start(const std::string& path, const std::vector<std::string>& arguments, int& error);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    FdHandle takeInput() { return std::move(m_input); }
    FdHandle takeOutput() { return std::move(m_output); }
    FdHandle takeErrors() { return std::move(m_errors); }

    // True once it has ended; status is then the wait status.
    bool tryWait(int& status);
    // Signals it and every process it started (they share its process group).
    void kill(int signal);

private:
    ChildProcess(pid_t pid, FdHandle input, FdHandle output, FdHandle errors);

    pid_t m_pid;
    bool m_reaped = false;
    FdHandle m_input;  // write end of its standard input
    FdHandle m_output; // read end of its standard output
    FdHandle m_errors; // read end of its standard error
};
