#pragma once

// What a player learns of an audio file from FFmpeg: its nominal bit rate, its tags, and the
// length of the audio its decoder delivers.

#include <QString>

#include <map>
#include <string>

struct AudioProbe {
    bool opened = false;
    long long bitRate = 0; // bits per second, of the audio stream or else the file
    std::map<std::string, std::string> tags;
    double seconds = 0;
};

AudioProbe ProbeAudio(const QString& path);
