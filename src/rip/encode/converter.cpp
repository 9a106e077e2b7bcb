#include "rip/encode/converter.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/modbass.h"
#include "rip/encode/encodercommand.h"
#include "rip/encode/errorlog.h"
#include "rip/step/blockpump.h"
#include "rip/step/ripfailure.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>

#include <chrono>

// Runs an external encoder on a decode stream: the encoder extension hands every block the
// program reads on to the encoder, so reading the stream to its end is the conversion.

namespace {

// What an encoder has to finish its shorter file after the user's Stop before it is ended: with
// the moment its end takes, the Stop never waits much more than a second for it.
constexpr auto kStopGrace = std::chrono::milliseconds(700);

void Tell(const RipContext& job, const QString& text) {
    job.dialogs.showMessage(job.boxOwner, text, QStringLiteral("Encoder"), MessageIcon::Exclamation,
                            MessageButtons::Ok);
}

// The encoder needs plain 16-bit audio. The output itself stays as it is: closing and opening
// the sound device for every track would hold the window for a tenth of a second each time.
void PrepareLibrary(const RipContext& job) {
    job.bass.core.BASS_SetConfig(BASS_CONFIG_FLOATDSP, 0);
}

DWORD OpenSpool(const RipContext& job, const QString& spooled) {
    return job.bass.core.BASS_StreamCreateFile(0, QFile::encodeName(spooled).constData(), 0, 0,
                                               kDecodeStreamFlags);
}

using Kind = TrackOutcome::Kind;

TrackOutcome Told(const RipContext& job, Kind kind, const QString& text) {
    Tell(job, text);
    return TrackOutcome::Of(kind, text);
}

// Starts the encoder on the stream; the reason told when none runs.
std::optional<TrackOutcome> StartEncoder(const RipContext& job, DWORD stream,
                                         const QString& toencoder, const QString& bitrate,
                                         const QString& outfile, const QString& shownfile) {
    const EncoderCommand command = BuildEncoderCommand(toencoder, bitrate, outfile);
    if (!EncoderTakesPath(job, toencoder, bitrate, outfile, shownfile))
        return TrackOutcome::Of(Kind::EncoderFailed, command.refusal);
    if (!command.line)
        return TrackOutcome::Of(Kind::EncoderFailed,
                                QStringLiteral("no encoder for the code ") + toencoder);
    if (job.bass.enc.BASS_Encode_Start(stream, command.line->toLocal8Bit().constData(), 0, nullptr,
                                       nullptr) != 0)
        return std::nullopt;
    const EncoderOutcome outcome = job.bass.enc.lastEncoderOutcome();
    const QString program = QString::fromStdString(outcome.program);
    if (outcome.error != BASS_ERROR_FILEOPEN)
        return Told(job, Kind::EncoderFailed,
                    EncoderFailureText(outcome) + QStringLiteral(" (") + shownfile +
                        QStringLiteral(")"));
    const QString missing = MissingEncoderText(program);
    if (job.firstNotice(QStringLiteral("missing ") + program))
        Tell(job, missing);
    return TrackOutcome::Of(Kind::EncoderFailed, missing);
}

// A block of the spooled track, once the encoder has room for it. An encoder that falls behind
// takes nothing for a moment and the library then gives no bytes (after a short wait of its own):
// that is the encoder's pace, not the end of the audio, so the read waits on while the encoder
// runs. A Stop during the wait is told in stopped.
int ReadAtEncodersPace(const RipContext& job, DWORD stream, char* data, int size, bool& stopped) {
    for (;;) {
        const int n = job.bass.core.BASS_ChannelGetData(stream, data, DWORD(size));
        if (n != 0 || job.bass.enc.BASS_Encode_IsActive(stream) != BASS_ACTIVE_PLAYING)
            return n;
        if ((stopped = job.stopRequested()))
            return 0;
    }
}

// Reads the stream to its end or to a stop (the encoder takes every block read); true when it
// reached the end. A read that fails says why in readFailure.
bool Pump(const RipContext& job, DWORD stream, const DiscTrack& track,
          std::optional<RipFailure>& readFailure) {
    BassCore& core = job.bass.core;
    bool stopped = false;
    const PumpEnd end = PumpBlocks(
        {qint64(core.BASS_StreamGetLength(stream)),
         [&] { return job.stopRequested(); },
         [&](char* data, int size) { return ReadAtEncodersPace(job, stream, data, size, stopped); },
         {},
         job.progress});
    if (end.kind == PumpEnd::Kind::ReadFailed && !stopped)
        readFailure = ReadFailure(core, track, end.lastRead);
    return end.kind == PumpEnd::Kind::Whole;
}

// The encoder finishes its file from what it was given. Once the user has stopped the rip it has
// a moment for that, and is ended when it takes longer; true when it was ended so.
bool FinishEncoder(const RipContext& job, DWORD stream) {
    using Clock = std::chrono::steady_clock;
    BassEnc& enc = job.bass.enc;
    bool ended = false;
    std::optional<Clock::time_point> stopSeen;
    if (enc.BASS_Encode_StopEx(stream, 1))
        while (enc.BASS_Encode_IsActive(stream) == BASS_ACTIVE_PLAYING) {
            if (job.stopRequested() && !stopSeen)
                stopSeen = Clock::now();
            if (stopSeen && !ended && Clock::now() - *stopSeen > kStopGrace)
                ended = enc.BASS_Encode_End(stream) != 0;
            QThread::msleep(2);
        }
    enc.BASS_Encode_Stop(stream); // keeps the outcome
    return ended;
}

// Ripped only when the encoder took all of the track, ended well and left a file; stopped short
// when a stop ended the feeding and the encoder ended well, or was ended after the Stop and left
// a file (which the file check then judges).
WrittenTrack Judge(const RipContext& job, bool complete, bool endedAfterStop,
                   const QString& outfile, const QString& shownfile) {
    const EncoderOutcome outcome = job.bass.enc.lastEncoderOutcome();
    const auto samples = qint64(outcome.bytesFed / 4);
    if (endedAfterStop) {
        if (QFileInfo(outfile).size() > 0)
            return {TrackOutcome::Of(Kind::StoppedShort), samples};
        return {Told(job, Kind::EncoderFailed,
                     QString::fromStdString(outcome.program) +
                         QStringLiteral(" had not finished ") + shownfile +
                         QStringLiteral(" a moment after the Stop and was ended")),
                samples};
    }
    if (!outcome.succeeded())
        return {Told(job, Kind::EncoderFailed,
                     EncoderFailureText(outcome) + QStringLiteral(" (") + shownfile +
                         QStringLiteral(")")),
                samples};
    if (QFileInfo(outfile).size() <= 0)
        return {Told(job, Kind::EncoderFailed,
                     QString::fromStdString(outcome.program) +
                         QStringLiteral(" ended without writing ") + shownfile),
                samples};
    if (complete)
        return {TrackOutcome::Of(Kind::Ripped), samples};
    return {TrackOutcome::Of(samples > 0 ? Kind::StoppedShort : Kind::NotStarted), samples};
}

TrackOutcome NoSource(const RipContext& job, const DiscTrack& track, const QString& spooled) {
    const QString reason = BassErrorText(job.bass.core.BASS_ErrorGetCode());
    const QString source = QStringLiteral("\"") + spooled + QStringLiteral("\"");
    return Told(job, Kind::ReadFailed,
                QStringLiteral("The audio of track %1 could not be opened for its encoder from "
                               "%2: %3")
                    .arg(track.number)
                    .arg(source, reason.isEmpty() ? QStringLiteral("unknown error") : reason));
}

} // namespace

bool EncoderTakesPath(const RipContext& job, const QString& toencoder, const QString& bitrate,
                      const QString& outfile, const QString& shownfile) {
    const EncoderCommand command = BuildEncoderCommand(toencoder, bitrate, outfile);
    if (command.refusal.isEmpty())
        return true;
    // It is the folder that cannot be passed, the same for every track: said once a job.
    if (job.firstNotice(QStringLiteral("refused output path")))
        Tell(job, QString(command.refusal).replace(outfile, shownfile));
    return false;
}

WrittenTrack Converter(const RipContext& job, const DiscTrack& track, const QString& spooled,
                       const QString& toencoder, const QString& bitrate, const QString& outfile,
                       const QString& shownfile) {
    BassCore& core = job.bass.core;
    PrepareLibrary(job);
    const DWORD stream = OpenSpool(job, spooled);
    if (stream == 0)
        return {NoSource(job, track, spooled), 0};
    if (auto refused = StartEncoder(job, stream, toencoder, bitrate, outfile, shownfile)) {
        core.BASS_StreamFree(stream);
        return {*refused, 0};
    }
    std::optional<RipFailure> readFailure;
    const bool complete = Pump(job, stream, track, readFailure);
    const bool ended = FinishEncoder(job, stream);
    // A stream that ended has freed itself; any other failure of the clean-up is logged.
    if (!core.BASS_StreamFree(stream) && core.BASS_ErrorGetCode() != BASS_ERROR_HANDLE)
        AppendErrorLog(job.appFolder, ErrorLogLine(QDateTime::currentDateTime(),
                                                   core.BASS_ErrorGetCode(), spooled));
    // An encoder that stopped taking the audio made the read fail: its own outcome says why.
    if (readFailure && job.bass.enc.lastEncoderOutcome().succeeded()) {
        return {ToldFailure(job, Kind::ReadFailed, *readFailure), 0}; // as the other paths say it
    }
    return Judge(job, complete, ended, outfile, shownfile);
}
