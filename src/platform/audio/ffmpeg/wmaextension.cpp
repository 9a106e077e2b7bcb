#include "platform/audio/ffmpeg/wmaextension.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/ffmpegloader/wmarates.h"

#include <cstdint>
#include <string>

namespace {

constexpr DWORD kBytesPerFrame = 4; // 16-bit stereo

bool HasEncoder() {
    return avcodec_find_encoder(AV_CODEC_ID_WMAV2) != nullptr;
}

} // namespace

const DWORD* WmaExtension::BASS_WMA_EncodeGetRates(DWORD freq, DWORD) {
    return WmaRatesAt(freq, HasEncoder());
}

HWMENCODE WmaExtension::BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                                const char* file) {
    if (freq != kWmaSampleRate)
        return FailWith(BASS_ERROR_FORMAT, HWMENCODE{0});
    if ((flags & ~BASS_WMA_TAGS) != 0 || bitrate < kWmaLowestRate || bitrate > kWmaHighestRate ||
        file == nullptr || *file == '\0')
        return FailWith(BASS_ERROR_ILLPARAM, HWMENCODE{0});
    int error = BASS_OK;
    auto encoder = WmaEncoder::open(static_cast<int>(freq), static_cast<int>(bitrate), file, error);
    if (!encoder)
        return FailWith(error, HWMENCODE{0});
    if (!(flags & BASS_WMA_TAGS) && (error = encoder->writeHeader()) != BASS_OK)
        return FailWith(error, HWMENCODE{0});
    const std::lock_guard lock(m_mutex);
    if (++m_lastHandle == 0) // after four billion files, start again without 0
        ++m_lastHandle;
    m_encoders[m_lastHandle] = std::move(encoder);
    SetLastBassError(BASS_OK);
    return m_lastHandle;
}

BOOL WmaExtension::BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) {
    WmaEncoder* encoder = find(handle);
    if (!encoder)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (tag == nullptr || text == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, kFalse);
    const bool closingTag = *tag == '\0' && *text == '\0';
    const int error = closingTag ? encoder->writeHeader() : encoder->setTag(tag, text);
    if (error != BASS_OK)
        return FailWith(error, kFalse);
    SetLastBassError(BASS_OK);
    return kTrue;
}

BOOL WmaExtension::BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) {
    WmaEncoder* encoder = find(handle);
    if (!encoder)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if ((buffer == nullptr && length > 0) || length % kBytesPerFrame != 0)
        return FailWith(BASS_ERROR_ILLPARAM, kFalse);
    const int error =
        encoder->write(static_cast<const std::int16_t*>(buffer), length / kBytesPerFrame);
    if (error != BASS_OK)
        return FailWith(error, kFalse);
    SetLastBassError(BASS_OK);
    return kTrue;
}

void WmaExtension::BASS_WMA_EncodeClose(HWMENCODE handle) {
    std::unique_ptr<WmaEncoder> encoder;
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_encoders.find(handle);
        if (it != m_encoders.end()) {
            encoder = std::move(it->second);
            m_encoders.erase(it);
        }
    }
    SetLastBassError(encoder ? encoder->close() : BASS_ERROR_HANDLE);
}

HSTREAM WmaExtension::BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                                QWORD length, DWORD flags) {
    return m_core.BASS_StreamCreateFile(mem, file, offset, length, flags);
}

WmaEncoder* WmaExtension::find(HWMENCODE handle) {
    const std::lock_guard lock(m_mutex);
    const auto it = m_encoders.find(handle);
    return it == m_encoders.end() ? nullptr : it->second.get();
}
