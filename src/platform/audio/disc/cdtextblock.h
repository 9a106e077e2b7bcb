#pragma once

#include <cdio/cdtext.h>

#include <string>

// libcdio hands out CD-TEXT converted from ISO-8859-1 to UTF-8. A sheet or a
// disc that really holds UTF-8 then comes back encoded twice ("CafÃ©"). When
// the text, read back as Latin-1 bytes, is valid UTF-8 with at least one
// multi-byte character, those bytes are the real text; anything else (real
// Latin-1, plain ASCII, text beyond Latin-1) is returned unchanged.
std::string RepairDoubleEncodedUtf8(const std::string& text);

// The CD-TEXT block of a disc: "TITLE0=...", "PERFORMER0=..." for the disc,
// then the fields of each track numbered 1 to trackCount (the disc's tracks
// firstTrack onwards), each entry zero-terminated, the block ended by an empty
// entry. Only fields present are listed; the text is UTF-8. Empty when the
// disc carries no CD-TEXT.
std::string CdTextBlockFrom(const cdtext_t* text, int firstTrack, int trackCount);
