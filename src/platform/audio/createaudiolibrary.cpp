#include "platform/audio/createaudiolibrary.h"

#include "platform/audio/cd/cdextension.h"
#include "platform/audio/encoder/encoderextension.h"
#include "platform/audio/ffmpeg/wmaextension.h"
#include "platform/audio/output/outputengine.h"

namespace {

// The four members together; the CD extension feeds its track sources to the core.
class AudioLibraryBundle final : public AudioLibraryInstance {
public:
    explicit AudioLibraryBundle(const AudioLibraryFolders& folders)
        : m_cd(m_core, folders.data), m_wma(m_core), m_enc(m_core, folders.program) {}

    // Streams hold the CD extension's track sources: free them before it goes.
    ~AudioLibraryBundle() override { m_core.BASS_Free(); }

    AudioLibrary library() override { return AudioLibrary{m_core, m_cd, m_wma, m_enc}; }

private:
    OutputEngine m_core;
    CdExtension m_cd;
    WmaExtension m_wma;
    EncoderExtension m_enc;
};

} // namespace

std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const AudioLibraryFolders& folders) {
    return std::make_unique<AudioLibraryBundle>(folders);
}
