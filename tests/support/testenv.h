#pragma once

// Helpers every suite shares: an environment variable set for a scope, and a wait for a
// condition that lets the window's thread run meanwhile.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

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
