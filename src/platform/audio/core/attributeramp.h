#pragma once

#include <cstdint>

// A linear move of one stream attribute (volume or pan) from its value when the
// slide began to a target, one step per output frame, so a fade has no steps
// that can be heard.
class AttributeRamp {
public:
    void start(float from, float to, std::uint32_t frames);
    void cancel() { m_active = false; }
    bool active() const { return m_active; }

    // Moves by the given number of frames and returns the value reached.
    // Returns the target once the ramp is complete (and then no longer active).
    float advance(std::uint32_t frames);

private:
    float m_from = 0;
    float m_to = 0;
    std::uint32_t m_total = 0;
    std::uint32_t m_done = 0;
    bool m_active = false;
};
