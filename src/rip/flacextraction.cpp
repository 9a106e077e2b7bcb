#include "rip/flacextraction.h"

#include "rip/flacfilewriter.h"
#include "rip/stagedfile.h"
#include "rip/trackextraction.h"

bool ExtractAudioTrackToFlac(const RipContext& job, int lTrack, int level, const StagedFile& file) {
    FlacFileWriter flac;
    return ExtractTrack(job, lTrack, flac, [&](DWORD stream) {
        const QWORD bytes = job.bass.core.BASS_StreamGetLength(stream);
        const quint64 samples = bytes == static_cast<QWORD>(-1) ? 0 : bytes / 4;
        return flac.create(file.path(), file.finalPath(), level, samples);
    });
}
