#pragma once

#include "platform/audio/core/pcmsource.h"

#include <memory>
#include <vector>

// Sources read one after the other as one, as a stretch of a disc image that crosses from one
// track's sectors into the next one's.
class ConcatSource : public PcmSource {
public:
    explicit ConcatSource(std::vector<std::unique_ptr<PcmSource>> parts);

    std::uint64_t length() const override { return m_length; }
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }
    SectorDamage damage() const override;

private:
    int fail(int code);

    std::vector<std::unique_ptr<PcmSource>> m_parts;
    std::uint64_t m_length = 0;
    std::size_t m_current = 0; // the part being read
    int m_error = 0;
};
