// Arbitrary bytes into the repair of a damaged value: it never crashes or hangs, and what it
// gives always loads, with unique ids, every member inside a recovered group, unique
// positions within each parent and LastID not below any id.
#include "Exception.h"
#include "FavRecovery.h"
#include "FuzzCheck.h"

#include <set>
#include <utility>

namespace {

void Check(bool condition, const char* what) {
    FuzzCheck(condition, "fuzz_repair", what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFavoriteItems repaired;
    const TRepairOutcome outcome = RepairFavoriteStream({data, size}, repaired);
    Check(outcome.Recovered == repaired.Items().Count(), "recovered count differs from records");
    Check(outcome.Recovered <= outcome.Seen, "more records recovered than seen");

    std::set<std::int32_t> ids, groups;
    std::set<std::pair<std::int32_t, std::int32_t>> places;
    for (const std::string& r : repaired.Items()) {
        const std::int32_t id = GetIntPart(r, 3, '|');
        Check(ids.insert(id).second, "repeated id");
        Check(id <= repaired.LastID(), "LastID below an id");
        Check(places.insert({GetIntPart(r, 0, '|'), GetIntPart(r, 1, '|')}).second,
              "repeated position");
        if (GetIntPart(r, 2, '|') == fitGroup)
            groups.insert(id);
    }
    for (const std::string& r : repaired.Items()) {
        const std::int32_t parent = GetIntPart(r, 0, '|');
        Check(parent == 0 || groups.count(parent) > 0, "member of a group that is gone");
    }

    const std::vector<std::uint8_t> encoded = WriteFavoriteStream(repaired);
    TFavoriteItems again;
    ReadFavoriteStream(encoded, again); // anything thrown here is a finding
    Check(again.Items() == repaired.Items(), "repaired value does not load as repaired");
    // Repairing a sound value keeps it.
    TFavoriteItems twice;
    RepairFavoriteStream(encoded, twice);
    Check(twice.Items() == repaired.Items() && twice.LastID() == repaired.LastID(),
          "repairing the repaired value changed it");
    return 0;
}
