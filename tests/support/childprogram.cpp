#include "support/childprogram.h"

#include <QFile>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

ChildProgram::ChildProgram(const QString& program, const QStringList& arguments,
                           const std::map<std::string, std::string>& extraEnv) {
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid != 0)
        return;
    for (const auto& [name, value] : extraEnv)
        ::setenv(name.c_str(), value.c_str(), 1);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

ChildProgram::~ChildProgram() {
    if (m_pid <= 0 || m_ended)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, &m_status, 0);
}

void ChildProgram::signal(int number) const {
    ::kill(m_pid, number);
}

bool ChildProgram::waitForEnd(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_ended && std::chrono::steady_clock::now() < deadline) {
        m_ended = ::waitpid(m_pid, &m_status, WNOHANG) == m_pid;
        if (!m_ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_ended;
}

bool ChildProgram::exitedNormally() const {
    return m_ended && WIFEXITED(m_status);
}

int ChildProgram::exitCode() const {
    return exitedNormally() ? WEXITSTATUS(m_status) : -1;
}
