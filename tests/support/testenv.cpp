#include "support/testenv.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <thread>

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name))
        m_old = old;
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (m_old)
        setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

HangGuard::HangGuard(std::string what, std::chrono::seconds bound)
    : m_watch([this, what = std::move(what), bound] {
          std::unique_lock lock(m_mutex);
          if (m_left.wait_for(lock, bound, [this] { return m_done; }))
              return;
          std::fprintf(stderr, "Hung for %llds: %s\n", static_cast<long long>(bound.count()),
                       what.c_str());
          std::abort();
      }) {}

HangGuard::~HangGuard() {
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_left.notify_all();
    m_watch.join();
}
