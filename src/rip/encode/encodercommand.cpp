#include "rip/encode/encodercommand.h"

#include <QRegularExpression>
#include <QStringList>

#include <csignal>
#include <cstring>

namespace {

struct EncoderLine {
    const char* code;
    const char* before; // up to the bit rate
    const char* after;  // between the bit rate and the quoted output file
};

constexpr EncoderLine kEncoderLines[] = {
    {"MP3C", "lame.exe -b ", " - "},
    {"MP3V", "lame.exe --abr ", " - "},
    {"OGGV", "oggenc.exe -b ", " -  -o "},
    {"OGGC", "oggenc.exe --managed -b ", " -  -o "},
};

QString LastLine(const std::string& text) {
    const QStringList lines =
        QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()))
            .split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (!it->trimmed().isEmpty())
            return it->trimmed();
    }
    return {};
}

} // namespace

EncoderCommand BuildEncoderCommand(const QString& code, const QString& bitrate,
                                   const QString& outfile) {
    for (const EncoderLine& entry : kEncoderLines) {
        if (code != QLatin1String(entry.code))
            continue;
        if (outfile.contains('"')) {
            return {std::nullopt,
                    QStringLiteral("The output file %1 contains a double quote (\"), which cannot "
                                   "be passed to the encoder. Choose an output folder without one.")
                        .arg(outfile)};
        }
        return {QLatin1String(entry.before) + bitrate + QLatin1String(entry.after) + '"' + outfile +
                    '"',
                {}};
    }
    return {};
}

QString EncoderPackage(const QString& program) {
    return program == QLatin1String("oggenc") ? QStringLiteral("vorbis-tools") : program;
}

QString MissingEncoderText(const QString& program) {
    return QStringLiteral("%1 was not found in the application folder or on the PATH; install "
                          "the %2 package")
        .arg(program, EncoderPackage(program));
}

QString EncoderFailureText(const EncoderOutcome& outcome) {
    const QString program = QString::fromStdString(outcome.program);
    QString text;
    if (outcome.signal != 0)
        text = QStringLiteral("%1 was ended by signal %2 (%3)")
                   .arg(program)
                   .arg(outcome.signal)
                   .arg(QString::fromLocal8Bit(strsignal(outcome.signal)));
    else if (outcome.exited && outcome.exitStatus != 0)
        text = QStringLiteral("%1 ended with status %2").arg(program).arg(outcome.exitStatus);
    else
        text = QStringLiteral("%1 stopped taking the audio before its end").arg(program);
    const QString last = LastLine(outcome.errorTail);
    return last.isEmpty() ? text : text + ": " + last;
}
