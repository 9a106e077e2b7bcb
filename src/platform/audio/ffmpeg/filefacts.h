#pragma once

#include "common/audiolibrary.h"

#include <string>

// The codec and length of an audio file as FFmpeg reads it (BASS_GetFileFacts).
AudioFileFacts ReadFileFacts(const std::string& path);
