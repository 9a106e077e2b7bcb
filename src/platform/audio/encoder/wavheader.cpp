#include "platform/audio/encoder/wavheader.h"

#include <cstring>

namespace {

class HeaderWriter {
public:
    explicit HeaderWriter(std::array<char, 44>& header) : m_header(header) {}

    void text(const char* fourCc) {
        std::memcpy(m_header.data() + m_at, fourCc, 4);
        m_at += 4;
    }
    void number(std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            m_header[m_at++] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }

private:
    std::array<char, 44>& m_header;
    std::size_t m_at = 0;
};

} // namespace

std::array<char, 44> WavHeader(std::uint32_t dataBytes) {
    constexpr std::uint32_t kRate = 44100;
    constexpr std::uint32_t kChannels = 2;
    constexpr std::uint32_t kBits = 16;
    constexpr std::uint32_t kFrameBytes = kChannels * kBits / 8;
    std::array<char, 44> header{};
    HeaderWriter out(header);
    out.text("RIFF");
    out.number(dataBytes > UINT32_MAX - 36 ? UINT32_MAX : dataBytes + 36, 4);
    out.text("WAVE");
    out.text("fmt ");
    out.number(16, 4); // size of the format chunk
    out.number(1, 2);  // PCM
    out.number(kChannels, 2);
    out.number(kRate, 4);
    out.number(kRate * kFrameBytes, 4);
    out.number(kFrameBytes, 2);
    out.number(kBits, 2);
    out.text("data");
    out.number(dataBytes, 4);
    return header;
}
