// The CD-TEXT block built from raw CD-TEXT packs as a drive returns them: libcdio parses the
// packs, the block builder walks what it made. The first two bytes give the first track
// number and the track count.
#include "platform/audio/disc/cdtextblock.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
struct CdTextDeleter {
    void operator()(cdtext_t* text) const { cdtext_destroy(text); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    std::unique_ptr<cdtext_t, CdTextDeleter> text(cdtext_init());
    std::vector<std::uint8_t> packs(data + 2, data + size);
    cdtext_data_init(text.get(), packs.data(), packs.size());
    CdTextBlockFrom(text.get(), data[0] % 100, data[1] % 100);
    return 0;
}
