#include "platform/audio/image/sheetfile.h"

#include "platform/audio/disc/cdiohandles.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SheetFile Refused(const std::string& reason) {
    return SheetFile{std::nullopt, reason};
}

// Why a file of this kind and size cannot be a sheet; empty when it can.
std::string Unusable(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return "not a regular file";
    if (static_cast<std::uintmax_t>(info.st_size) > kSheetByteLimit)
        return "the sheet is larger than 1 MB";
    return {};
}

} // namespace

SheetFile ReadSheetFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Refused(std::string("the sheet cannot be read: ") + std::strerror(errno));
    if (std::string why = Unusable(info); !why.empty())
        return Refused(why);
    // Non-blocking: should the file have become a FIFO since, opening it does not wait.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Refused(std::string("the sheet cannot be read: ") + std::strerror(errno));
    const FileHandle file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return Refused("the sheet cannot be read");
    }
    if (::fstat(fd, &info) != 0)
        return Refused("the sheet cannot be read");
    if (std::string why = Unusable(info); !why.empty())
        return Refused(why);
    std::string text(kSheetByteLimit + 1, '\0');
    const std::size_t done = std::fread(text.data(), 1, text.size(), file.get());
    if (std::ferror(file.get()))
        return Refused("the sheet cannot be read");
    if (done > kSheetByteLimit)
        return Refused("the sheet is larger than 1 MB"); // it grew while being read
    text.resize(done);
    return SheetFile{std::move(text), {}};
}
