#include "platform/audio/encoder/programlookup.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.empty())
        return std::nullopt;
    const std::string path = folder.back() == '/' ? folder + name : folder + "/" + name;
    if (IsExecutableFile(path))
        return path;
    return std::nullopt;
}

std::optional<std::string> OnPath(const std::string& name, const char* pathVariable) {
    std::istringstream folders(pathVariable ? pathVariable : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (auto found = InFolder(folder, name))
            return found;
    }
    return std::nullopt;
}

} // namespace

std::string ProgramBaseName(const std::string& name) {
    const std::string suffix = ".exe";
    if (name.size() <= suffix.size())
        return name;
    const std::string tail = name.substr(name.size() - suffix.size());
    const bool isExe = std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    return isExe ? name.substr(0, name.size() - suffix.size()) : name;
}

std::optional<std::string> FindProgram(const std::string& name, const std::string& appFolder,
                                       const char* pathVariable) {
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? std::optional(name) : std::nullopt;
    const std::string base = ProgramBaseName(name);
    if (auto found = InFolder(appFolder, name))
        return found;
    if (auto found = InFolder(appFolder, base))
        return found;
    return OnPath(base, pathVariable);
}
