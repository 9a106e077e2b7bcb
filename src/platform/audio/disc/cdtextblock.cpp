#include "platform/audio/disc/cdtextblock.h"

#include <array>
#include <optional>

namespace {

struct CdTextKey {
    cdtext_field_t field;
    const char* name;
};

// The fields a block lists, in this order for the disc and for every track.
constexpr std::array<CdTextKey, 6> kKeys{{
    {CDTEXT_FIELD_TITLE, "TITLE"},
    {CDTEXT_FIELD_PERFORMER, "PERFORMER"},
    {CDTEXT_FIELD_SONGWRITER, "SONGWRITER"},
    {CDTEXT_FIELD_COMPOSER, "COMPOSER"},
    {CDTEXT_FIELD_ARRANGER, "ARRANGER"},
    {CDTEXT_FIELD_MESSAGE, "MESSAGE"},
}};

int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Decodes one UTF-8 character at text[i]; nothing when it is malformed, overlong,
// a surrogate or beyond U+10FFFF.
std::optional<char32_t> DecodeAt(const std::string& text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = SequenceLength(lead);
    if (length == 0 || i + length > text.size())
        return std::nullopt;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    i += length;
    return cp;
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();)
        if (!DecodeAt(text, i))
            return false;
    return true;
}

// The Latin-1 bytes a UTF-8 text stands for; nothing when it has characters beyond U+00FF.
std::optional<std::string> AsLatin1Bytes(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        const auto cp = DecodeAt(text, i);
        if (!cp || *cp > 0xFF)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*cp));
    }
    return bytes;
}

bool HasNonAscii(const std::string& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

void AppendEntries(std::string& block, const cdtext_t* text, int track, int number) {
    for (const CdTextKey& key : kKeys) {
        const char* value = cdtext_get_const(text, key.field, static_cast<track_t>(track));
        if (value == nullptr || *value == '\0')
            continue;
        block += key.name + std::to_string(number) + "=" + RepairDoubleEncodedUtf8(value);
        block.push_back('\0');
    }
}

} // namespace

std::string RepairDoubleEncodedUtf8(const std::string& text) {
    const auto bytes = AsLatin1Bytes(text);
    if (bytes && HasNonAscii(*bytes) && IsValidUtf8(*bytes))
        return *bytes;
    return text;
}

std::string CdTextBlockFrom(const cdtext_t* text, int firstTrack, int trackCount) {
    if (text == nullptr)
        return {};
    std::string block;
    AppendEntries(block, text, 0, 0);
    for (int n = 1; n <= trackCount; ++n)
        AppendEntries(block, text, firstTrack + n - 1, n);
    if (!block.empty())
        block.push_back('\0');
    return block;
}
