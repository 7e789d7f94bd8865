// Speed and memory of the favorites store on 10,000 records.
#include "BenchRecords.h"
#include "FavRecovery.h"
#include "FavUtils.h"
#include "Registry.h"
#include "RegistryLock.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <malloc.h>
#include <new>
#include <random>
#include <unistd.h>

// Live heap bytes requested through operator new: each block carries its size in front.
namespace {
std::atomic<std::int64_t> gLiveBytes{0};
constexpr std::size_t Header = alignof(std::max_align_t);

void* CountedAlloc(std::size_t size) {
    void* p = std::malloc(size + Header);
    if (!p)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = size;
    gLiveBytes += static_cast<std::int64_t>(size);
    return static_cast<char*>(p) + Header;
}
void CountedFree(void* p) noexcept {
    if (!p)
        return;
    void* block = static_cast<char*>(p) - Header;
    gLiveBytes -= static_cast<std::int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}
} // namespace

void* operator new(std::size_t size) {
    return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
    return CountedAlloc(size);
}
void operator delete(void* p) noexcept {
    CountedFree(p);
}
void operator delete[](void* p) noexcept {
    CountedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    CountedFree(p);
}

namespace {

constexpr int Records = 10000;

using bench::Load;

std::vector<std::string> MakeRecords(int groups, int firstGroupChildren = 0) {
    return bench::MakeRecords(Records, groups, firstGroupChildren);
}

void BM_Encode(benchmark::State& state) {
    TFavoriteItems items;
    Load(items, MakeRecords(500));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> out = WriteFavoriteStream(items);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMicrosecond);

void BM_Decode(benchmark::State& state) {
    TFavoriteItems source;
    Load(source, MakeRecords(500));
    const std::vector<std::uint8_t> bytes = WriteFavoriteStream(source);
    TFavoriteItems items;
    for (auto _ : state) {
        ReadFavoriteStream(bytes, items);
        benchmark::DoNotOptimize(items.Items().Count());
    }
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMicrosecond);

// AddItem into a group of 1,000 children among 10,000 records; Arg(1): the list was sorted
// by an earlier query, Arg(0): it was just changed, so AddItem sorts it first.
void BM_AddItemIntoLargeGroup(benchmark::State& state) {
    TFavoriteItems base;
    Load(base, MakeRecords(500, 1000));
    if (base.GetSubItems(1).Count() != 1000 || base.Items().Count() != Records)
        state.SkipWithError("group 1 should hold 1,000 children among 10,000 records");
    TFavoriteItems items;
    for (auto _ : state) {
        state.PauseTiming();
        items.Assign(base);
        if (state.range(0) == 1)
            items.Items().Sort();
        state.ResumeTiming();
        benchmark::DoNotOptimize(items.AddItem(fitUnit, 1, "/home/developer/new.pas", "new.pas"));
    }
}
BENCHMARK(BM_AddItemIntoLargeGroup)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Runs body over 10,000 records in 500 groups. Arg(0): each run right after a change of the
// list (so a query sorts again); Arg(1): on an unchanged list.
template <typename Body> void RunOnRecords(benchmark::State& state, Body body) {
    TFavoriteItems items;
    Load(items, MakeRecords(500));
    items.Items().Sort();
    const std::string first = items.GetItem(0);
    for (auto _ : state) {
        if (state.range(0) == 0)
            items.SetItem(0, first);
        benchmark::DoNotOptimize(body(items));
    }
}
template <typename Query> void RunQuery(benchmark::State& state, Query query) {
    RunOnRecords(state, [&](TFavoriteItems& items) { return query(items).Count(); });
}
void BM_GetSubItems(benchmark::State& state) {
    RunQuery(state, [](TFavoriteItems& i) -> TStringList& { return i.GetSubItems(0); });
}
void BM_GetSubGroups(benchmark::State& state) {
    RunQuery(state, [](TFavoriteItems& i) -> TStringList& { return i.GetSubGroups(0); });
}
void BM_GetOnlyItems(benchmark::State& state) {
    RunQuery(state, [](TFavoriteItems& i) -> TStringList& { return i.GetOnlyItems(); });
}
BENCHMARK(BM_GetSubItems)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetSubGroups)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetOnlyItems)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Runs perGroup over the root and each of the 500 groups (501 GetSubItems calls).
template <typename PerGroup> void RunOverGroups(benchmark::State& state, PerGroup perGroup) {
    RunOnRecords(state, [&](TFavoriteItems& items) {
        long sum = 0;
        for (int parent = 0; parent <= 500; ++parent)
            sum += perGroup(items, parent);
        return sum;
    });
}

void BM_GetSubItems501(benchmark::State& state) {
    RunOverGroups(state, [](TFavoriteItems& items, int parent) -> long {
        return items.GetSubItems(parent).Count();
    });
}
BENCHMARK(BM_GetSubItems501)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the menu does: the children of every group and the index of every entry.
void BM_MenuWalk(benchmark::State& state) {
    RunOverGroups(state, [](TFavoriteItems& items, int parent) -> long {
        long sum = 0;
        for (const std::string& r : items.GetSubItems(parent))
            sum += items.Items().IndexOf(r);
        return sum;
    });
}
BENCHMARK(BM_MenuWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The 100 changes one writer makes between its load and its save: renames, re-points, adds
// into groups, deletions and reorders, 20 of each.
void Change(TFavoriteItems& items, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&](bool groupsToo) {
        for (;;) {
            const std::string r = items.GetItem(static_cast<int>(random() % items.Items().Count()));
            if (groupsToo || GetIntPart(r, 2, '|') != fitGroup)
                return r;
        }
    };
    for (int k = 0; k < 100; ++k) {
        const std::string n = std::to_string(seed) + "-" + std::to_string(k);
        switch (k % 5) {
        case 0: items.ChangeAlias(pick(true), "renamed " + n); break;
        case 1: items.ChangeFileName(pick(false), "/home/developer/moved/" + n + ".pas"); break;
        case 2:
            items.AddItem(fitUnit, 1 + static_cast<int>(random() % 500), "/home/new/" + n + ".pas",
                          n + ".pas");
            break;
        case 3: items.Items().Delete(items.Items().IndexOf(pick(false))); break;
        case 4: {
            const TStringList children(items.GetSubItems(1 + static_cast<int>(random() % 500)));
            if (children.Count() < 2)
                break;
            const int i = static_cast<int>(random() % (children.Count() - 1));
            std::string a = children[i], b = children[i + 1];
            items.ExchangeItems(a, b);
            break;
        }
        }
    }
}

// The merge a save does when another writer changed the value since the load: 10,000
// favorites, 100 changes on each side. Both writers loaded the stored value and changed it, as
// two IDEs do. Arg(0): the merge alone; Arg(1): all the save does in memory, reading the
// loaded and the stored bytes, merging and writing the merged value.
void BM_MergeAtSave(benchmark::State& state) {
    TFavoriteItems start;
    Load(start, MakeRecords(500));
    const std::vector<std::uint8_t> baseBytes = WriteFavoriteStream(start);
    TFavoriteItems base, mine, theirs, into;
    ReadFavoriteStream(baseBytes, base);
    ReadFavoriteStream(baseBytes, mine);
    ReadFavoriteStream(baseBytes, theirs);
    Change(mine, 1);
    Change(theirs, 2);
    const std::vector<std::uint8_t> theirsBytes = WriteFavoriteStream(theirs);
    ReadFavoriteStream(theirsBytes, theirs); // as the save reads it
    int conflicts = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            conflicts = MergeFavorites(base, mine, theirs, into).Conflicts;
        } else {
            TFavoriteItems loaded, stored;
            ReadFavoriteStream(baseBytes, loaded);
            ReadFavoriteStream(theirsBytes, stored);
            conflicts = MergeFavorites(loaded, mine, stored, into).Conflicts;
            benchmark::DoNotOptimize(WriteFavoriteStream(into).size());
        }
    }
    state.counters["merged_records"] = into.Items().Count();
    state.counters["conflicts"] = conflicts;
}
BENCHMARK(BM_MergeAtSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A registry file of its own in a fresh temporary folder, for as long as the object lives.
class TTempRegistry {
public:
    explicit TTempRegistry(const std::string& name)
        : FDir(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(FDir);
        std::filesystem::create_directories(FDir);
        SetRegistryFile((FDir / "HKEY_CURRENT_USER.reg").string());
    }
    ~TTempRegistry() {
        SetRegistryFile("");
        std::filesystem::remove_all(FDir);
    }

private:
    std::filesystem::path FDir;
};

// What the lock between writers costs a save: one rename of 1,000 favorites saved to a
// registry file (re-read, backup, atomic replace, fsync). Arg(1): the save takes the lock as
// always; Arg(0): the same save while this thread holds the lock already, so that taking it
// costs nothing. The two run in turn, so a drift of the machine hits both alike.
void BM_SaveToRegLock(benchmark::State& state) {
    const TTempRegistry registry("bench_save");
    TFavoriteItems items;
    Load(items, bench::MakeRecords(1000, 50));
    items.SaveToReg();
    std::optional<TRegistryLock> held;
    if (state.range(0) == 0)
        held.emplace(items.GetSection());
    int n = 0;
    for (auto _ : state) {
        items.ChangeAlias(items.GetItem(0), "alias " + std::to_string(n++));
        benchmark::DoNotOptimize(items.SaveToReg().Changed);
    }
    held.reset();
}
BENCHMARK(BM_SaveToRegLock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What a click on a favorite adds to make sure it opens the record as stored now: reading the
// stored value of 10,000 favorites and finding it unchanged.
void BM_FollowStoredValueUnchanged(benchmark::State& state) {
    const TTempRegistry registry("bench_follow");
    TFavoriteItems items;
    Load(items, MakeRecords(500));
    items.SaveToReg();
    for (auto _ : state)
        benchmark::DoNotOptimize(items.FollowStoredValue());
}
BENCHMARK(BM_FollowStoredValueUnchanged)->Unit(benchmark::kMillisecond);

// Taking and releasing the lock alone, uncontended.
void BM_RegistryLock(benchmark::State& state) {
    const TTempRegistry registry("bench_lock");
    for (auto _ : state)
        const TRegistryLock lock("\\Favorites");
}
BENCHMARK(BM_RegistryLock)->Unit(benchmark::kMicrosecond);

// Heap held by a loaded collection of 10,000 records after every query has filled its
// result list, beyond the bytes of the records themselves.
void BM_Memory(benchmark::State& state) {
    const std::vector<std::string> records = MakeRecords(500);
    TFavoriteItems source;
    Load(source, records);
    const std::vector<std::uint8_t> bytes = WriteFavoriteStream(source);
    std::size_t recordBytes = 0;
    for (const std::string& r : records)
        recordBytes += r.size();

    std::int64_t beyond = 0, heapBeyond = 0;
    for (auto _ : state) {
        const std::int64_t before = gLiveBytes;
        const auto heapBefore = static_cast<std::int64_t>(mallinfo2().uordblks);
        {
            TFavoriteItems items;
            ReadFavoriteStream(bytes, items);
            for (int parent = 0; parent <= 500; ++parent)
                items.GetSubItems(parent);
            items.GetSubGroups(0);
            items.GetOnlyItems();
            beyond = gLiveBytes - before - static_cast<std::int64_t>(recordBytes);
            heapBeyond = static_cast<std::int64_t>(mallinfo2().uordblks) - heapBefore -
                         static_cast<std::int64_t>(recordBytes);
        }
    }
    state.counters["record_bytes"] = static_cast<double>(recordBytes);
    state.counters["new_bytes_beyond_records"] = static_cast<double>(beyond);
    state.counters["heap_bytes_beyond_records"] = static_cast<double>(heapBeyond);
}
BENCHMARK(BM_Memory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
