// Arbitrary bytes into the favorites stream reader: only EReadError may come out, a failed
// read leaves the collection as it was, and what was read encodes and decodes to itself.
#include "Exception.h"
#include "FavUtils.h"
#include "FuzzCheck.h"

namespace {

void Check(bool condition, const char* what) {
    FuzzCheck(condition, "fuzz_stream", what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const TStringList before{"000000000|000|3|1|/kept.txt|kept"};
    TFavoriteItems items;
    items.SetItems(before);
    items.SetLastID(-7);
    try {
        ReadFavoriteStream(bytes, items);
    } catch (const EReadError&) {
        Check(items.Items() == before && items.LastID() == -7,
              "failed read changed the collection");
        return 0;
    }
    const std::vector<std::uint8_t> encoded = WriteFavoriteStream(items);
    TFavoriteItems again;
    ReadFavoriteStream(encoded, again); // anything thrown here is a finding
    Check(again.Items() == items.Items(), "records differ after encode and decode");
    Check(again.LastID() == items.LastID(), "LastID differs after encode and decode");
    Check(WriteFavoriteStream(again) == encoded, "encoding is not stable");
    return 0;
}
