#pragma once

// What a player learns of an audio file from FFmpeg: its nominal bit rate, its tags, and the
// audio its decoder delivers. The one decoder the tests read encoded files with.

#include <QString>

#include <map>
#include <string>
#include <vector>

struct AudioProbe {
    bool opened = false;
    long long bitRate = 0; // bits per second, of the audio stream or else the file
    std::map<std::string, std::string> tags;
    double seconds = 0;
    std::vector<float> channels[2]; // the first two channels, when the decoder gives float planes
};

AudioProbe ProbeAudio(const QString& path);
