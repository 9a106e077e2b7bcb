#pragma once

// What the clean-up of an output folder works with: folders opened and entries looked at
// relative to an open folder, never through a symbolic link, and the advisory lock (flock) that
// tells whether the player that made a file still runs.

#include <QString>
#include <QStringList>

#include <utility>

// An open file or folder, closed once whatever path is taken.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

enum class EntryKind { Missing, File, Folder, Link, Other };

// The folder at path; a link there is followed, as the user named it.
Descriptor OpenFolder(const QString& path);
// The folder name in parent; a link there is not opened.
Descriptor OpenFolderAt(int parent, const QString& name);
// What name in parent is, the link itself when it is one.
EntryKind KindAt(int parent, const QString& name);
// The names in an open folder, without "." and "..".
QStringList NamesIn(int folder);
// Removes the file name from parent; a link there goes, never what it points at.
bool RemoveFileAt(int parent, const QString& name);

enum class LockTry {
    Taken,   // nobody else holds it
    Held,    // another open file holds it: its owner runs, wherever that is
    NoLocks, // the file system takes no locks
    Failed,
};
// Takes the exclusive lock of an open file without waiting.
LockTry TryLock(int fd);
