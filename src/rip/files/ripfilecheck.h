#pragma once

// What is checked before a ripped file takes its name, and what the user is told when the check
// fails: a name the system will not take, and a file that is not the audio it should be.

#include "rip/files/ripoutput.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

#include <optional>

// "File name too long" (and the user told) when the system will not take the path the file is
// written under (path; shownName names it): a name longer than its folder allows, or a path
// longer than any. Said before anything is read or encoded.
std::optional<TrackOutcome> NameTooLong(const RipContext& job, const QString& path,
                                        const QString& shownName);

// The file at path (shownName names it) as a player opens it: audio of the output's format
// holding samples per channel. A file that is not is the encoder's failure ("lame made a file
// that is not a valid MP3"; the program's own WAV writer's: a write failure), told to the user.
std::optional<TrackOutcome> CheckRippedFile(const RipContext& job, const RipOutput& output,
                                            const QString& path, const QString& shownName,
                                            qint64 samples);
