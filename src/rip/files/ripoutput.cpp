#include "rip/files/ripoutput.h"

#include <QLocale>
#include <QRegularExpression>

QString BitrateText(const QString& listText) {
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = leadingNumber.match(listText);
    const double value = match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

RipOutput ChooseRipOutput(const OutputChoice& choice, int number, const QString& name) {
    const OutputFormat* format = FindOutputFormat(choice.format);
    if (format == nullptr)
        return {};
    RipOutput output;
    output.path = format->path;
    output.file = choice.folder + QLatin1Char('/') +
                  (name.isEmpty() ? QStringLiteral("TRACK") + QString::number(number) : name) +
                  QLatin1Char('.') + QLatin1String(format->extension);
    output.wmaBitrate = choice.wmaBitrate;
    output.flacLevel = choice.flacLevel;
    if (format->fixedBitrate != nullptr) {
        output.code = QLatin1String(format->cbrCode);
        output.bitrate = QLatin1String(format->fixedBitrate);
    } else if (format->cbr != nullptr) {
        const bool cbr = choice.*(format->cbr);
        output.code = QLatin1String(cbr ? format->cbrCode : format->vbrCode);
        output.bitrate = BitrateText(choice.*(cbr ? format->cbrText : format->vbrText));
    }
    return output;
}
