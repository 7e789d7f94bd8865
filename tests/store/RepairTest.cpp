// Recovering the records of damaged stored values.
#include "Exception.h"
#include "FavRecovery.h"
#include "FavTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace {

using favtest::R;
using Bytes = std::vector<std::uint8_t>;

const std::string A = R(0, 0, fitUnit, 1, "/p/a.pas", "a");
const std::string G = R(0, 1, fitGroup, 2, "", "G");
const std::string M1 = R(2, 0, fitUnit, 3, "/p/m1.pas", "m1");
const std::string M2 = R(2, 1, fitFile, 4, "/p/m2.txt", "m2");
const std::string F = R(0, 2, fitFolder, 5, "/p/f/", "f");
const std::vector<std::string> Five = {A, G, M1, M2, F};

Bytes Value(const std::vector<std::string>& records, int lastID) {
    TFavoriteItems items;
    favtest::Fill(items, records, lastID);
    return WriteFavoriteStream(items);
}

// Offset of a record's text in the value.
std::size_t At(const Bytes& value, const std::string& record) {
    const std::string_view text(reinterpret_cast<const char*>(value.data()), value.size());
    const std::size_t at = text.find(record);
    EXPECT_NE(at, std::string_view::npos) << record;
    return at;
}

// What every repair gives: a value that loads, ids unique, every member inside a recovered
// group, positions unique within each parent, LastID not below any id.
void ExpectSound(const TFavoriteItems& repaired, const TRepairOutcome& outcome) {
    TFavoriteItems reloaded;
    ASSERT_NO_THROW(ReadFavoriteStream(WriteFavoriteStream(repaired), reloaded));
    std::set<int> ids, groups;
    std::set<std::pair<int, int>> places;
    for (const std::string& r : repaired.Items()) {
        EXPECT_TRUE(ids.insert(GetIntPart(r, 3, '|')).second) << r;
        if (GetIntPart(r, 2, '|') == fitGroup)
            groups.insert(GetIntPart(r, 3, '|'));
        EXPECT_TRUE(places.insert({GetIntPart(r, 0, '|'), GetIntPart(r, 1, '|')}).second) << r;
        EXPECT_LE(GetIntPart(r, 3, '|'), repaired.LastID()) << r;
    }
    for (const std::string& r : repaired.Items()) {
        const int parent = GetIntPart(r, 0, '|');
        EXPECT_TRUE(parent == 0 || groups.count(parent)) << r;
    }
    EXPECT_EQ(outcome.Recovered, repaired.Items().Count());
    EXPECT_LE(outcome.Recovered, outcome.Seen);
}

TEST(RepairFavoriteStream, RecoversWhatCanStillBeRead) {
    const Bytes five = Value(Five, 9);
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        std::vector<std::string> recovered;
        int seen;
        int lastID;
        Bytes value = {};
    };
    const Case cases[] = {
        {"cut inside the fourth record", [&](Bytes& v) { v.resize(At(v, M2) + 12); },
         {A, G, M1}, 4, 3},
        {"a letter in an id", [&](Bytes& v) { v[At(v, M1) + 16] = 'x'; }, {A, G, M2, F}, 5, 9},
        {"a length byte too large", [&](Bytes& v) { v[At(v, M1) - 1] += 7; }, Five, 5, 9},
        {"a length byte too small", [&](Bytes& v) { v[At(v, M1) - 1] -= 1; }, Five, 5, 9},
        {"the group's tag lost: its members move to the top level",
         [&](Bytes& v) { v[At(v, G) - 2] = 0x07; },
         {A, R(0, 1, fitUnit, 3, "/p/m1.pas", "m1"), R(0, 2, fitFile, 4, "/p/m2.txt", "m2"),
          R(0, 3, fitFolder, 5, "/p/f/", "f")},
         4,
         9},
        {"the first of repeated ids wins, LastID rises to the highest id",
         [](Bytes& v) { v[3] = '1'; },
         {A, F},
         3,
         5,
         Value({A, R(0, 1, fitFile, 1, "/p/dup.txt", "dup"), F}, 2)},
        {"garbage",
         [](Bytes& v) {
             std::mt19937 random(7);
             v.resize(4096);
             for (std::uint8_t& b : v)
                 b = static_cast<std::uint8_t>(random());
         },
         {},
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = c.value.empty() ? five : c.value;
        c.damage(damaged);
        TFavoriteItems repaired;
        const TRepairOutcome outcome = RepairFavoriteStream(damaged, repaired);
        EXPECT_EQ(repaired.Items().Lines(), favtest::Sorted(c.recovered));
        EXPECT_EQ(outcome.Recovered, static_cast<int>(c.recovered.size()));
        if (c.seen > 0) { // random bytes may hold a few record-like runs
            EXPECT_EQ(outcome.Seen, c.seen);
        }
        EXPECT_EQ(repaired.LastID(), c.lastID);
        ExpectSound(repaired, outcome);
    }
}

// A single flipped bit damages at most one record, wherever it falls.
TEST(RepairFavoriteStream, EverySingleBitFlipLosesAtMostOneRecord) {
    const Bytes five = Value(Five, 9);
    for (std::size_t at = 0; at < five.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
            Bytes damaged = five;
            damaged[at] ^= static_cast<std::uint8_t>(1 << bit);
            TFavoriteItems repaired;
            const TRepairOutcome outcome = RepairFavoriteStream(damaged, repaired);
            EXPECT_GE(outcome.Recovered, 4);
            ExpectSound(repaired, outcome);
            if (HasFatalFailure() || outcome.Recovered < 4)
                return;
        }
    }
}

} // namespace
