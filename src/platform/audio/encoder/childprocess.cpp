#include "platform/audio/encoder/childprocess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kPipeBytes = 1 << 20;

struct PipeEnds {
    FdHandle read;
    FdHandle write;
};

// Both ends close on exec; the spawn's dup2 hands the child its own end only.
bool MakePipe(PipeEnds& ends, int& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = errno;
        return false;
    }
    ends.read = AdoptFd(fds[0]);
    ends.write = AdoptFd(fds[1]);
    // A large pipe lets the encoder take its input in long reads instead of waking for every
    // page; where the system refuses, the default size only costs speed.
    fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);
    return true;
}

struct FileActionsDeleter {
    void operator()(posix_spawn_file_actions_t* actions) const {
        posix_spawn_file_actions_destroy(actions);
        delete actions;
    }
};
using FileActions = std::unique_ptr<posix_spawn_file_actions_t, FileActionsDeleter>;

struct SpawnAttrDeleter {
    void operator()(posix_spawnattr_t* attr) const {
        posix_spawnattr_destroy(attr);
        delete attr;
    }
};
using SpawnAttr = std::unique_ptr<posix_spawnattr_t, SpawnAttrDeleter>;

FileActions ChildDescriptors(int input, int output, int errors) {
    FileActions actions(new posix_spawn_file_actions_t);
    posix_spawn_file_actions_init(actions.get());
    posix_spawn_file_actions_adddup2(actions.get(), input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(actions.get(), output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.get(), errors, STDERR_FILENO);
    // Descriptors opened by libraries without close-on-exec stay with us too.
    posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    return actions;
}

// The encoder starts with every signal unblocked and SIGPIPE at its default,
// whatever this process does with them, in a process group of its own: a signal that ends it
// also ends what it started (a shell script's programs), which would otherwise keep its pipes
// open.
SpawnAttr ChildSignals() {
    SpawnAttr attr(new posix_spawnattr_t);
    posix_spawnattr_init(attr.get());
    sigset_t none;
    sigemptyset(&none);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigmask(attr.get(), &none);
    posix_spawnattr_setsigdefault(attr.get(), &pipeSignal);
    posix_spawnattr_setpgroup(attr.get(), 0);
    posix_spawnattr_setflags(attr.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                             POSIX_SPAWN_SETPGROUP);
    return attr;
}

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string& path,
                                                  const std::vector<std::string>& arguments,
                                                  int& error) {
    PipeEnds input, output, errors;
    if (!MakePipe(input, error) || !MakePipe(output, error) || !MakePipe(errors, error))
        return nullptr;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const FileActions actions =
        ChildDescriptors(FdOf(input.read), FdOf(output.write), FdOf(errors.write));
    const SpawnAttr attr = ChildSignals();
    pid_t pid = 0;
    error = posix_spawn(&pid, path.c_str(), actions.get(), attr.get(), argv.data(), environ);
    if (error != 0)
        return nullptr;
    return std::unique_ptr<ChildProcess>(new ChildProcess(
        pid, std::move(input.write), std::move(output.read), std::move(errors.read)));
}

ChildProcess::ChildProcess(pid_t pid, FdHandle input, FdHandle output, FdHandle errors)
    : m_pid(pid), m_input(std::move(input)), m_output(std::move(output)),
      m_errors(std::move(errors)) {}

ChildProcess::~ChildProcess() {
    if (m_reaped)
        return;
    ::kill(-m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool ChildProcess::tryWait(int& status) {
    if (m_reaped)
        return false;
    pid_t result = 0;
    do {
        result = waitpid(m_pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    m_reaped = result == m_pid;
    return m_reaped;
}

void ChildProcess::kill(int signal) {
    if (!m_reaped)
        ::kill(-m_pid, signal); // its whole group: the group lives while its leader is unreaped
}
