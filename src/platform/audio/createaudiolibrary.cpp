#include "platform/audio/createaudiolibrary.h"

#include "platform/audio/cd/cdextension.h"
#include "platform/audio/cd/drivewatcher.h"
#include "platform/audio/cd/udevdriveevents.h"
#include "platform/audio/drive/realdrive.h"
#include "platform/audio/encoder/encoderextension.h"
#include "platform/audio/ffmpegloader/deferredwma.h"
#include "platform/audio/ffmpegloader/ffmpegmodule.h"
#include "platform/audio/output/outputengine.h"

#include <QCoreApplication>

namespace {

// The four members together; the CD extension feeds its track sources to the core.
class AudioLibraryBundle final : public AudioLibraryInstance {
public:
    AudioLibraryBundle(const AudioLibraryFolders& folders,
                       std::unique_ptr<DriveEventSource> driveEvents)
        : m_ffmpeg(folders.program), m_cd(m_core, folders.data), m_wma(m_ffmpeg, m_core),
          m_enc(m_core, folders.program) {
        m_core.setFileCodecs(&m_ffmpeg);
        if (driveEvents && QCoreApplication::instance() != nullptr)
            m_drives = std::make_unique<DriveWatcher>(
                std::move(driveEvents), m_cd,
                [](const std::string& node) { return std::make_unique<RealDrive>(node); });
    }

    // Streams hold the CD extension's track sources: free them before it goes.
    ~AudioLibraryBundle() override {
        m_drives.reset();
        m_core.BASS_Free();
    }

    AudioLibrary library() override { return AudioLibrary{m_core, m_cd, m_wma, m_enc}; }

private:
    FfmpegModule m_ffmpeg; // first: the core's streams read through it until their end
    OutputEngine m_core;
    CdExtension m_cd;
    DeferredWma m_wma;
    EncoderExtension m_enc;
    std::unique_ptr<DriveWatcher> m_drives;
};

} // namespace

std::unique_ptr<AudioLibraryInstance> CreateAudioLibrary(const AudioLibraryFolders& folders) {
    return CreateAudioLibrary(folders, UdevDriveEvents::open());
}

std::unique_ptr<AudioLibraryInstance>
CreateAudioLibrary(const AudioLibraryFolders& folders,
                   std::unique_ptr<DriveEventSource> driveEvents) {
    return std::make_unique<AudioLibraryBundle>(folders, std::move(driveEvents));
}
