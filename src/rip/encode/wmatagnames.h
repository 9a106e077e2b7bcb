#pragma once

#include <array>

// The WMA file's tag names, in the order of the tag boxes of the WMA options.
inline constexpr std::array<const char*, 8> kWMATagNames = {
    "Title",  "Author",    "WM/AlbumTitle", "Description",
    "Rating", "Copyright", "WM/Genre",      "WM/Year"};
