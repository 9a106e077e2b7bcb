#pragma once

#include <atomic>
#include <cstdint>

// Whether the disc of a virtual drive is in, shared by the drive (user's thread)
// and the sources reading it (engine threads). Every insertion gets a new ticket,
// so a source notices an ejection at its next read even when the disc has been
// put back since.
class DiscPresence {
public:
    void insert() {
        std::uint64_t state = m_state.load();
        if (state % 2 == 0)
            m_state.store(state + 1);
    }
    void eject() {
        std::uint64_t state = m_state.load();
        if (state % 2 == 1)
            m_state.store(state + 1);
    }
    // The ticket of the current insertion (only meaningful while inserted()).
    std::uint64_t ticket() const { return m_state.load(); }
    bool inserted() const { return m_state.load() % 2 == 1; }
    bool holds(std::uint64_t ticket) const { return ticket % 2 == 1 && m_state.load() == ticket; }

private:
    // Odd: a disc is in. Only the drive's thread writes.
    std::atomic<std::uint64_t> m_state{0};
};
