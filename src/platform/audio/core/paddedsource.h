#pragma once

#include "platform/audio/core/pcmsource.h"

#include <memory>

// A track read with the drive's read offset undone: silence, then a stretch of a source that
// reads whole sectors around it, then silence. The silence stands for what lies before the
// disc's start or past its audio's end. A read that fails part-way returns the data read
// before; the next read fails.
class PaddedSource : public PcmSource {
public:
    struct Layout {
        std::uint64_t silenceBefore = 0; // bytes, whole sample frames throughout
        std::uint64_t skip = 0;          // of the inner source, before the stretch
        std::uint64_t data = 0;          // the stretch
        std::uint64_t silenceAfter = 0;
    };
    // inner: null when the stretch is empty.
    PaddedSource(std::unique_ptr<PcmSource> inner, const Layout& layout);

    std::uint64_t length() const override;
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }
    SectorDamage damage() const override;

private:
    // Bytes of the stretch read into buffer, -1 on a read error.
    int readData(char* buffer, int n);
    int fail(int code);

    std::unique_ptr<PcmSource> m_inner;
    Layout m_layout;
    std::uint64_t m_position = 0;
    bool m_innerPlaced = false; // the inner source's position matches m_position
    int m_error = 0;
    int m_pendingError = 0;
};
