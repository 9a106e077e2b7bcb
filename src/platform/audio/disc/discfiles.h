#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files a disc image is made of, as they stand on disk. A file replaced, rewritten,
// removed or created gives another stamp, and the image then counts as another disc. One
// look is a stat per file: cheap enough for every tick of the window's timer.
class DiscFiles {
public:
    DiscFiles() = default;
    explicit DiscFiles(std::vector<std::string> paths);

    // True when a file stands otherwise than at the last look (or at construction).
    bool changed();

private:
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const std::string& path);

    std::vector<std::string> m_paths;
    std::vector<Stamp> m_stamps;
};
