// Sheet scanning on any text: the first byte picks CUE or TOC.
#include "platform/audio/image/imagesheet.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const SheetKind kind = data[0] % 2 == 0 ? SheetKind::Cue : SheetKind::Toc;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    ScanSheet(kind, text, "/discs", [](int i) { return "file" + std::to_string(i) + ".bin"; });
    return 0;
}
