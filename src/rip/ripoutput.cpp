#include "rip/ripoutput.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
// The fixed choice behind "Mivo Default": MP3 at a constant 128 kbps.
const QString kMivoDefaultCode = QStringLiteral("MP3C");
const QString kMivoDefaultBitrate = QStringLiteral("128");

QString TrackFile(const QString& folder, int number, const QString& extension) {
    return folder + QStringLiteral("/TRACK") + QString::number(number) + extension;
}

RipOutput Encoder(const QString& code, const QString& bitrate, const QString& file) {
    RipOutput output;
    output.path = RipPath::Encoder;
    output.code = code;
    output.bitrate = bitrate;
    output.file = file;
    return output;
}
} // namespace

QString BitrateText(const QString& listText) {
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = leadingNumber.match(listText);
    const double value = match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

RipOutput ChooseRipOutput(const OutputChoice& choice, int number) {
    const QString& folder = choice.folder;
    switch (choice.format) {
    case 0:
        return Encoder(kMivoDefaultCode, kMivoDefaultBitrate, TrackFile(folder, number, ".mp3"));
    case 1:
        return RipOutput{RipPath::Wav, {}, {}, {}, TrackFile(folder, number, ".WAV")};
    case 2:
        return RipOutput{
            RipPath::Wma, {}, {}, choice.wmaBitrate, TrackFile(folder, number, ".WMA")};
    case 3:
        return choice.mp3Cbr ? Encoder("MP3C", BitrateText(choice.mp3CbrText),
                                       TrackFile(folder, number, ".mp3"))
                             : Encoder("MP3V", BitrateText(choice.mp3VbrText),
                                       TrackFile(folder, number, ".mp3"));
    case 4:
        return choice.oggCbr ? Encoder("OGGC", BitrateText(choice.oggCbrText),
                                       TrackFile(folder, number, ".ogg"))
                             : Encoder("OGGV", BitrateText(choice.oggVbrText),
                                       TrackFile(folder, number, ".ogg"));
    case 5: {
        RipOutput flac{RipPath::Flac, {}, {}, {}, TrackFile(folder, number, ".flac")};
        flac.flacLevel = choice.flacLevel;
        return flac;
    }
    default:
        return {};
    }
}
