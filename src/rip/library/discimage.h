#pragma once

// The disc's audio as one file, for people who burn copies or keep images of their discs: when a
// job rips every audio track to WAV or FLAC, the tracks' files are joined in the disc's order
// (the hidden track first) into one file of the same format beside them, named after the album.
// It is written under a hidden name and takes its name only when whole and exactly as long as the
// disc's audio; then the cue sheet points into it and the tracks' files are not kept. Anything
// less keeps the tracks' files as they are.

#include "rip/library/discfiles.h"
#include "settings/outputchoice.h"

// Makes the image when the output asks for one and job ripped every audio track: job then names
// it (image, imageFirstSector) and its track files are gone. Lines for the log in made.notes, and
// the reason it could not be written in made.failures.
void MakeDiscImage(DiscFilesJob& job, const OutputChoice& output, DiscFilesWritten& made);
