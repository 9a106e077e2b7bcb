#pragma once

// A program run as a child process through fork and exec, its output going where the test's
// goes. ThreadSanitizer follows these; it does not follow the way Qt's QProcess starts a
// child, and afterwards reports the parent's own threads falsely.

#include <QString>
#include <QStringList>

#include <chrono>
#include <map>
#include <string>

#include <sys/types.h>

class ChildProgram {
public:
    // extraEnv: set in the child's environment on top of this process's.
    ChildProgram(const QString& program, const QStringList& arguments,
                 const std::map<std::string, std::string>& extraEnv = {});
    ~ChildProgram(); // a child still running is killed and waited for

    pid_t pid() const { return m_pid; }
    void signal(int number) const;
    // True once it ended, within the time given.
    bool waitForEnd(std::chrono::milliseconds timeout);
    bool exitedNormally() const;
    int exitCode() const;

private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_ended = false;
};
