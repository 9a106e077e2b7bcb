#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers and times as sheets write them, read without exceptions and within
// what an audio CD can hold. Anything else is refused, so no later sum wraps.
inline constexpr std::uint64_t kFramesPerSecond = 75; // a frame is one sector
inline constexpr std::uint64_t kMaxMinutes = 99;

// A decimal number of digits only, at most max.
std::optional<std::uint64_t> ParseNumber(std::string_view token, std::uint64_t max);

// "mm:ss:ff" in frames: minutes up to 99, seconds below 60, frames below 75.
std::optional<std::uint64_t> ParseCdTime(std::string_view token);

// Frames as "mm:ss:ff".
std::string FormatCdTime(std::uint64_t frames);
