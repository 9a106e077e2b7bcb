#include "platform/audio/disc/discfiles.h"

#include <sys/stat.h>

DiscFiles::DiscFiles(std::vector<std::string> paths) : m_paths(std::move(paths)) {
    for (const std::string& path : m_paths)
        m_stamps.push_back(stampOf(path));
}

DiscFiles::Stamp DiscFiles::stampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return {true,
            std::uint64_t(status.st_dev),
            std::uint64_t(status.st_ino),
            std::int64_t(status.st_size),
            std::int64_t(status.st_mtim.tv_sec),
            std::int64_t(status.st_mtim.tv_nsec)};
}

bool DiscFiles::changed() {
    bool differs = false;
    for (std::size_t i = 0; i < m_paths.size(); ++i) {
        Stamp now = stampOf(m_paths[i]);
        if (now != m_stamps[i]) {
            m_stamps[i] = now;
            differs = true;
        }
    }
    return differs;
}
