#include "platform/audio/createaudiolibrary.h"

#include "platform/audio/cd/cdextension.h"
#include "platform/audio/encoder/encoderextension.h"
#include "platform/audio/ffmpegloader/deferredwma.h"
#include "platform/audio/ffmpegloader/ffmpegmodule.h"
#include "platform/audio/output/outputengine.h"

namespace {

// The four members together; the CD extension feeds its track sources to the core.
class AudioLibraryBundle final : public AudioLibraryInstance {
public:
    explicit AudioLibraryBundle(const AudioLibraryFolders& folders)
        : m_ffmpeg(folders.program), m_cd(m_core, folders.data), m_wma(m_ffmpeg, m_core),
          m_enc(m_core, folders.program) {
        m_core.setFileOpener([this](const std::string& path, int& error) {
            const FfmpegEntry* entry = m_ffmpeg.entry();
            if (entry == nullptr)
                error = BASS_ERROR_NOTAVAIL;
            return entry ? entry->openFile(path, error) : nullptr;
        });
    }

    // Streams hold the CD extension's track sources: free them before it goes.
    ~AudioLibraryBundle() override { m_core.BASS_Free(); }

    AudioLibrary library() override { return AudioLibrary{m_core, m_cd, m_wma, m_enc}; }

private:
    FfmpegModule m_ffmpeg; // first: it loads while the rest is made
    OutputEngine m_core;
    CdExtension m_cd;
    DeferredWma m_wma;
    EncoderExtension m_enc;
};

} // namespace

std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const AudioLibraryFolders& folders) {
    return std::make_unique<AudioLibraryBundle>(folders);
}
