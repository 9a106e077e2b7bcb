#include "platform/audio/cd/subcodejob.h"

SubcodeJob::SubcodeJob(SubcodeReader reader, DWORD discChanges)
    : m_discChanges(discChanges),
      m_thread([this, reader = std::move(reader)](std::stop_token stop) {
          SubcodeAnswer answer = reader(stop);
          const std::lock_guard lock(m_mutex);
          m_answer = std::move(answer);
          m_ready.notify_all();
      }) {}

bool SubcodeJob::done() const {
    const std::lock_guard lock(m_mutex);
    return m_answer.has_value();
}

std::optional<SubcodeAnswer> SubcodeJob::answer(bool wait) const {
    std::unique_lock lock(m_mutex);
    if (wait)
        m_ready.wait(lock, [this] { return m_answer.has_value(); });
    return m_answer;
}
