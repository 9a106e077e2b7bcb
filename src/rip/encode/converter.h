#pragma once

#include "rip/encode/spooledencoding.h"
#include "rip/step/ripcontext.h"

// Makes outfile from the track's spooled WAV through the external encoder of the format code
// toencoder ("MP3C", "MP3V", "OGGV", "OGGC"). Ripped when the encoder took the whole track, ended
// well and left a file; any other outcome is reported to the user, naming the file shownfile.
WrittenTrack Converter(const RipContext& job, const DiscTrack& track, const QString& spooled,
                       const QString& toencoder, const QString& bitrate, const QString& outfile,
                       const QString& shownfile);

// False (and the user told, once a job) when the encoder of toencoder cannot be given outfile
// on its command line; shownfile names it.
bool EncoderTakesPath(const RipContext& job, const QString& toencoder, const QString& bitrate,
                      const QString& outfile, const QString& shownfile);
