#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A sheet is a small text file. Anything else named as a sheet (a FIFO that
// would block, a device or a link to one that never ends, a huge file) is
// refused before a byte of it is read.
inline constexpr std::uintmax_t kSheetByteLimit = 1024 * 1024;

struct SheetFile {
    std::optional<std::string> text;
    std::string error; // why there is no text, for the user
};

SheetFile ReadSheetFile(const std::string& path);
