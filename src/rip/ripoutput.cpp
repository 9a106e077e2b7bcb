#include "rip/ripoutput.h"

#include "shell/frmmain.h"

#include <QComboBox>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>

namespace {
// The fixed choice behind "Mivo Default": MP3 at a constant 128 kbps.
const QString kMivoDefaultCode = QStringLiteral("MP3C");
const QString kMivoDefaultBitrate = QStringLiteral("128");

QString EncoderFile(const QString& folder, int number, const QString& extension) {
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

OutputFormatChoice ReadOutputFormatChoice(const frmMain& window) {
    OutputFormatChoice choice;
    for (int i = 0; i < 5 && choice.selectedOption < 0; ++i)
        if (window.optExtractMode[i]->isChecked())
            choice.selectedOption = i;
    choice.mp3Cbr = window.optMP3CBR->isChecked();
    choice.mp3CbrText = window.cmbMP3CBitrate->currentText();
    choice.mp3VbrText = window.cmbMP3VBitrate->currentText();
    choice.oggCbr = window.optOGGCBR->isChecked();
    choice.oggCbrText = window.cmbOGGCBitrate->currentText();
    choice.oggVbrText = window.cmbOGGVBitrate->currentText();
    const QComboBox* wma = window.cmbWMAEncodingBitrate;
    if (wma->currentIndex() >= 0)
        choice.wmaBitrate = wma->currentData().toInt();
    return choice;
}

RipOutput ChooseRipOutput(const OutputFormatChoice& choice, int number, const QString& folder) {
    switch (choice.selectedOption) {
    case 0:
        return Encoder(kMivoDefaultCode, kMivoDefaultBitrate, EncoderFile(folder, number, ".mp3"));
    case 1:
        return RipOutput{RipPath::Wav, {}, {}, {}, {}};
    case 2:
        return RipOutput{RipPath::Wma, {}, {}, choice.wmaBitrate, {}};
    case 3:
        return choice.mp3Cbr ? Encoder("MP3C", BitrateText(choice.mp3CbrText),
                                       EncoderFile(folder, number, ".mp3"))
                             : Encoder("MP3V", BitrateText(choice.mp3VbrText),
                                       EncoderFile(folder, number, ".mp3"));
    case 4:
        return choice.oggCbr ? Encoder("OGGC", BitrateText(choice.oggCbrText),
                                       EncoderFile(folder, number, ".ogg"))
                             : Encoder("OGGV", BitrateText(choice.oggVbrText),
                                       EncoderFile(folder, number, ".ogg"));
    default:
        return {};
    }
}
