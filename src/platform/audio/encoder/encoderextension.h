#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/decodetaps.h"
#include "platform/audio/encoder/encoderfeed.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The encoder extension: runs an external encoder (lame, oggenc) as a child
// process, no shell involved, and feeds it on its standard input a WAV header
// with the real size and then every byte the reader of the decode stream gets
// from BASS_ChannelGetData. The program is looked up in the application folder
// as written, then without ".exe" there, then on the PATH.
//
// Threads: any thread may call, and each gets its own last outcome; BASS_Encode_Stop waits for the
// encoder to end, BASS_Encode_StopEx and BASS_Encode_End only start its end (BASS_Encode_IsActive
// tells when it is over).
class EncoderExtension final : public BassEnc {
public:
    EncoderExtension(DecodeTaps& taps, std::string appFolder);
    ~EncoderExtension() override; // stops every encoder still running

    // flags, proc and user are not used: the encoder writes its own output file.
    HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                              void* user) override;
    BOOL BASS_Encode_Stop(DWORD handle) override;
    BOOL BASS_Encode_StopEx(DWORD handle, BOOL queue) override;
    DWORD BASS_Encode_IsActive(DWORD handle) override;
    BOOL BASS_Encode_End(DWORD handle) override;
    EncoderOutcome lastEncoderOutcome() override;

private:
    struct Running {
        HENCODE encoder = 0;
        HSTREAM stream = 0;
        std::string program;
        std::shared_ptr<EncoderFeed> feed;
    };

    HENCODE refuse(std::string program, int error);
    HENCODE startFeeding(HSTREAM stream, const std::vector<std::string>& arguments,
                         const std::string& path, std::uint64_t bytesLeft);
    // Removes the running encoder of a stream or encoder handle; empty when there is none.
    std::optional<Running> take(DWORD handle);
    std::shared_ptr<EncoderFeed> feedOf(DWORD handle);
    EncoderOutcome stop(Running running);

    DecodeTaps& m_taps;
    const std::string m_appFolder;
    std::mutex m_mutex; // guards the list, the handle counter and the last outcome
    std::vector<Running> m_running;
    HENCODE m_lastHandle = 0;
    // Per calling thread, as the last error is: encoders of several threads never mix outcomes.
    std::map<std::thread::id, EncoderOutcome> m_lastOutcome;
};
