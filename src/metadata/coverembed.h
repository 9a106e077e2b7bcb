#pragma once

// The front cover into a finished file and beside the files: MP3 an ID3v2.4 APIC frame of type 3,
// FLAC a PICTURE block of type 3, OGG a METADATA_BLOCK_PICTURE comment (the same block in
// base64), WMA a WM/Picture attribute of type 3. A front cover the file had already is replaced;
// other pictures stay.

#include "metadata/coverimage.h"

#include <optional>

// The reason when the cover could not be embedded; nothing when it was.
std::optional<QString> EmbedCover(const QString& path, const CoverImage& cover);

// Saves cover.jpg (or cover.png) into folder, where music players look for it. A cover file the
// folder has already (cover.jpg or cover.png, from another rip or the user's own) is never
// replaced: the same image is left as it is, a different one is kept and the reason says so.
std::optional<QString> SaveCoverFile(const QString& folder, const CoverImage& cover);
