#pragma once

// The command lines of the external encoders and the texts that report them.

#include "common/audiolibrary.h"

#include <QString>

#include <optional>

struct EncoderCommand {
    std::optional<QString> line; // the command line to start; none when nothing is started
    QString refusal; // why nothing is started, for the user; empty when nothing is wrong
};

// code: "MP3C", "MP3V", "OGGV" or "OGGC" (exact case); any other code starts no encoder.
// bitrate and outfile go into the line unchanged. An outfile with a double quote cannot be
// quoted on the line and is refused.
EncoderCommand BuildEncoderCommand(const QString& code, const QString& bitrate,
                                   const QString& outfile);

// The Debian package that provides an encoder program ("lame", "oggenc").
QString EncoderPackage(const QString& program);

// "lame was not found in the application folder or on the PATH; install the lame package".
QString MissingEncoderText(const QString& program);

// How an encoder that did not succeed ended: its exit status or signal and the last line
// of its standard error, e.g. "lame ended with status 1: Error reading input".
QString EncoderFailureText(const EncoderOutcome& outcome);
