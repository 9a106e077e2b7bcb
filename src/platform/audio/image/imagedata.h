#pragma once

#include <cstdint>
#include <string>

// Where the disc's sectors lie in the file a CUE sheet names: all of a BINARY file, the data
// chunk of a WAVE file (as Mivo's own whole-disc rips leave them). A WAVE file must hold CD
// audio (PCM, 44100 Hz, 16-bit, stereo): anything else cannot stand for a disc's sectors.
struct ImageData {
    std::uint64_t offset = 0; // bytes from the file's start
    std::uint64_t size = 0;   // bytes, never past the file's end
    std::string error;        // why the file cannot be used; the rest is then empty

    std::uint64_t end() const { return offset + size; }
};

// type is the FILE line's word, in capitals.
ImageData ImageDataOf(const std::string& path, const std::string& type);
