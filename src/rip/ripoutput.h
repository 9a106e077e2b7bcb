#pragma once

// Which extraction path, format code, bit rate and file a ticked row is ripped with, from the
// state of the output option controls.

#include <QString>

#include <optional>

class frmMain;

// The output choices as the option controls hold them when a row is ripped.
struct OutputFormatChoice {
    int selectedOption = -1; // the selected optExtractMode index, -1 when none is
    bool mp3Cbr = true;
    QString mp3CbrText; // current texts of the bit-rate lists, e.g. "128 Kbps"
    QString mp3VbrText;
    bool oggCbr = true;
    QString oggCbrText;
    QString oggVbrText;
    std::optional<int> wmaBitrate; // item data of the selected WMA rate, none without selection
};

enum class RipPath { None, Wav, Wma, Encoder };

struct RipOutput {
    RipPath path = RipPath::None;
    QString code;                  // encoder format code: "MP3C", "MP3V", "OGGC" or "OGGV"
    QString bitrate;               // encoder bit rate as decimal text, e.g. "128"
    std::optional<int> wmaBitrate; // bits per second for the WMA path
    QString file;                  // encoder output file; the WAV and WMA paths name their own
};

OutputFormatChoice ReadOutputFormatChoice(const frmMain& window);

// number: the track's 1-based number on the disc, which names the file, as the WAV and WMA
// paths name theirs; folder: the output folder as typed.
RipOutput ChooseRipOutput(const OutputFormatChoice& choice, int number, const QString& folder);

// The leading number of a bit-rate text in shortest decimal form: "128 Kbps" gives "128",
// an empty text "0".
QString BitrateText(const QString& listText);
