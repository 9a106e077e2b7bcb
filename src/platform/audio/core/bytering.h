#pragma once

#include <cstddef>
#include <vector>

// A fixed-size circular byte buffer. It does no locking of its own: the stream
// engine guards it with the mixer's lock, held only for these copies.
class ByteRing {
public:
    explicit ByteRing(std::size_t capacity = 0);

    std::size_t capacity() const { return m_data.size(); }
    std::size_t size() const { return m_size; }
    std::size_t space() const { return m_data.size() - m_size; }

    // Both return how many bytes were copied (less than n when full or empty).
    std::size_t write(const char* data, std::size_t n);
    std::size_t read(char* out, std::size_t n);
    void clear();

private:
    std::vector<char> m_data;
    std::size_t m_head = 0; // index of the oldest byte
    std::size_t m_size = 0;
};
