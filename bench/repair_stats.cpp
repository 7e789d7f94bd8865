// How much the repair recovers: 1,000 randomly damaged copies of a 1,000-record value, the
// share of its records found again (same id, type, path and alias) in each repaired value.
// Usage: repair_stats [copies] [seed]
#include "BenchRecords.h"
#include "FavRecovery.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <tuple>

namespace {

enum TDamage { Cut, BitFlips, Overwrite, Insert, Remove, DamageKinds };
const char* const DamageNames[] = {"cut at a random offset", "1 to 16 flipped bits",
                                   "1 to 256 bytes overwritten", "1 to 256 bytes inserted",
                                   "1 to 256 bytes removed"};

using TContent = std::tuple<int, int, std::string, std::string>; // id, type, path, alias

TContent ContentOf(const std::string& record) {
    return {GetIntPart(record, 3, '|'), GetIntPart(record, 2, '|'), GetPart(record, 4, '|'),
            GetPart(record, 5, '|')};
}

void Damage(std::vector<std::uint8_t>& v, TDamage kind, std::mt19937& random) {
    const auto uniform = [&](std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi)(random);
    };
    const auto randomBytes = [&](std::size_t n) {
        std::vector<std::uint8_t> bytes(n);
        for (std::uint8_t& b : bytes)
            b = static_cast<std::uint8_t>(random());
        return bytes;
    };
    switch (kind) {
    case Cut:
        v.resize(uniform(0, v.size() - 1));
        break;
    case BitFlips:
        for (std::size_t k = uniform(1, 16); k > 0; --k)
            v[uniform(0, v.size() - 1)] ^= static_cast<std::uint8_t>(1u << uniform(0, 7));
        break;
    case Overwrite: {
        const std::size_t at = uniform(0, v.size() - 1);
        const std::vector<std::uint8_t> bytes = randomBytes(std::min(uniform(1, 256), v.size() - at));
        std::copy(bytes.begin(), bytes.end(), v.begin() + static_cast<std::ptrdiff_t>(at));
        break;
    }
    case Insert: {
        const std::vector<std::uint8_t> bytes = randomBytes(uniform(1, 256));
        v.insert(v.begin() + static_cast<std::ptrdiff_t>(uniform(0, v.size())), bytes.begin(),
                 bytes.end());
        break;
    }
    case Remove: {
        const std::size_t at = uniform(0, v.size() - 1);
        const std::size_t n = std::min(uniform(1, 256), v.size() - at);
        v.erase(v.begin() + static_cast<std::ptrdiff_t>(at),
                v.begin() + static_cast<std::ptrdiff_t>(at + n));
        break;
    }
    case DamageKinds:
        break;
    }
}

struct TShare {
    double Sum = 0, Worst = 1;
    int Count = 0;
    void Add(double share) {
        Sum += share;
        Worst = std::min(Worst, share);
        ++Count;
    }
};

} // namespace

int main(int argc, char** argv) {
    const int copies = argc > 1 ? std::atoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 2024;
    constexpr int Records = 1000;

    TFavoriteItems original;
    bench::Load(original, bench::MakeRecords(Records, 50));
    const std::vector<std::uint8_t> value = WriteFavoriteStream(original);
    std::set<TContent> contents;
    for (const std::string& r : original.Items())
        contents.insert(ContentOf(r));

    std::mt19937 random(seed);
    TShare all, byKind[DamageKinds];
    std::chrono::nanoseconds spent{0};
    for (int c = 0; c < copies; ++c) {
        const auto kind = static_cast<TDamage>(c % DamageKinds);
        std::vector<std::uint8_t> damaged = value;
        Damage(damaged, kind, random);
        TFavoriteItems repaired;
        const auto start = std::chrono::steady_clock::now();
        RepairFavoriteStream(damaged, repaired);
        spent += std::chrono::steady_clock::now() - start;
        // The repaired value must load like any other.
        TFavoriteItems reloaded;
        ReadFavoriteStream(WriteFavoriteStream(repaired), reloaded);
        int found = 0;
        for (const std::string& r : reloaded.Items())
            found += contents.count(ContentOf(r)) > 0 ? 1 : 0;
        const double share = static_cast<double>(found) / Records;
        all.Add(share);
        byKind[kind].Add(share);
    }

    std::printf("repair of %d damaged copies of a %d-record value (%zu bytes), seed %u\n", copies,
                Records, value.size(), seed);
    std::printf("  records recovered: mean %.1f%%, worst %.1f%%; every repaired value loads\n",
                100 * all.Sum / all.Count, 100 * all.Worst);
    for (int k = 0; k < DamageKinds; ++k)
        if (byKind[k].Count > 0)
            std::printf("  %-28s %4d copies: mean %5.1f%%, worst %5.1f%%\n", DamageNames[k],
                        byKind[k].Count, 100 * byKind[k].Sum / byKind[k].Count,
                        100 * byKind[k].Worst);
    std::printf("  time per repair: %.1f us\n",
                std::chrono::duration<double, std::micro>(spent).count() / copies);
    return 0;
}
