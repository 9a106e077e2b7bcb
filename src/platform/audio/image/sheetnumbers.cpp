#include "platform/audio/image/sheetnumbers.h"

#include <charconv>
#include <cstdio>

std::optional<std::uint64_t> ParseNumber(std::string_view token, std::uint64_t max) {
    std::uint64_t value = 0;
    const char* end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, value);
    if (token.empty() || error != std::errc() || stop != end || value > max)
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> ParseCdTime(std::string_view token) {
    const auto first = token.find(':');
    const auto second = token.find(':', first == token.npos ? first : first + 1);
    if (first == token.npos || second == token.npos)
        return std::nullopt;
    const auto mm = ParseNumber(token.substr(0, first), kMaxMinutes);
    const auto ss = ParseNumber(token.substr(first + 1, second - first - 1), 59);
    const auto ff = ParseNumber(token.substr(second + 1), kFramesPerSecond - 1);
    if (!mm || !ss || !ff)
        return std::nullopt;
    return (*mm * 60 + *ss) * kFramesPerSecond + *ff;
}

std::string FormatCdTime(std::uint64_t frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu",
                  static_cast<unsigned long long>(frames / kFramesPerSecond / 60),
                  static_cast<unsigned long long>(frames / kFramesPerSecond % 60),
                  static_cast<unsigned long long>(frames % kFramesPerSecond));
    return text;
}
