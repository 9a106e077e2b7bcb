#pragma once

// Helpers every suite shares: an environment variable set for a scope, and a wait for a
// condition that lets the window's thread run meanwhile.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Sets an environment variable (or clears it with nullopt) for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Polls the condition, running pending events in between; false after the timeout, which is
// generous and only guards against a hang.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Ends the test program with a message when the scope is not left in time: a hang fails the
// suite instead of holding it. The bound is generous; its only job is to detect the hang.
class HangGuard {
public:
    explicit HangGuard(std::string what, std::chrono::seconds bound = std::chrono::seconds(60));
    ~HangGuard();
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_left;
    bool m_done = false;
    std::thread m_watch;
};
