#pragma once

#include "rip/ripcontext.h"
#include "rip/spooledencoding.h"

// Makes outfile from a CD track (iscd: origfile is the 0-based track number) or an audio file
// (origfile is its path) through the external encoder of the format code toencoder ("MP3C",
// "MP3V", "OGGV", "OGGC"). Ripped when the encoder took the whole track, ended well and left a
// file; any other outcome is reported to the user, naming the file shownfile (outfile when
// empty) and the disc's track lTrack (0-based; origfile's number when -1).
EncodedTrack Converter(const RipContext& job, const QString& origfile, const QString& toencoder,
                       const QString& bitrate, const QString& outfile, bool iscd,
                       const QString& shownfile = {}, int lTrack = -1);

// False (and the user told, once a job) when the encoder of toencoder cannot be given outfile
// on its command line; shownfile names it.
bool EncoderTakesPath(const RipContext& job, const QString& toencoder, const QString& bitrate,
                      const QString& outfile, const QString& shownfile);
