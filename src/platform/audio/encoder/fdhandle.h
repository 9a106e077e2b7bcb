#pragma once

#include <cstddef>
#include <memory>
#include <unistd.h>

// An owned file descriptor: a unique_ptr whose "pointer" is the descriptor
// number, so it closes on every path exactly once.
struct FdNumber {
    int fd = -1;
    FdNumber() = default;
    FdNumber(std::nullptr_t) {}
    explicit FdNumber(int value) : fd(value) {}
    explicit operator bool() const { return fd >= 0; }
    friend bool operator==(FdNumber a, FdNumber b) { return a.fd == b.fd; }
};

struct FdDeleter {
    using pointer = FdNumber;
    void operator()(FdNumber number) const { ::close(number.fd); }
};

using FdHandle = std::unique_ptr<FdNumber, FdDeleter>;

inline FdHandle AdoptFd(int fd) {
    return FdHandle(FdNumber(fd));
}
inline int FdOf(const FdHandle& handle) {
    return handle.get().fd;
}
