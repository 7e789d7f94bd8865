// Speed and memory of the favorites store on 10,000 records.
#include "FavUtils.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>

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

std::string Record(int parent, int pos, int type, int id, const std::string& path,
                   const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(pos, 3) + "|" + std::to_string(type) + "|" +
           std::to_string(id) + "|" + path + "|" + alias;
}

// `groups` top-level groups sharing the remaining records, children in type order; group 1
// can be given `firstGroupChildren` children. The list comes shuffled, as after adds.
std::vector<std::string> MakeRecords(int groups, int firstGroupChildren = 0) {
    std::vector<std::string> r;
    int id = 0;
    for (int g = 0; g < groups; ++g)
        r.push_back(Record(0, g, 5, ++id, "", "Group " + std::to_string(g)));
    const int perGroup = firstGroupChildren > 0
                             ? (Records - groups - firstGroupChildren) / (groups - 1)
                             : (Records - groups) / groups;
    const char* exts[] = {".dpr", ".dpk", ".pas", ".txt"};
    for (int g = 1; g <= groups; ++g) {
        const int count = (g == 1 && firstGroupChildren > 0) ? firstGroupChildren : perGroup;
        for (int i = 0; i < count; ++i) {
            const int type = i * 5 / count; // 0..4 in order
            const std::string name = "Unit" + std::to_string(id + 1) + (type < 4 ? exts[type] : "");
            r.push_back(Record(g, i, type, ++id,
                               "/home/developer/projects/sample" + std::to_string(g) + "/" + name,
                               name));
        }
    }
    while (static_cast<int>(r.size()) < Records)
        r.push_back(
            Record(0, groups + static_cast<int>(r.size()), 3, ++id, "/tmp/extra.txt", "extra.txt"));
    std::shuffle(r.begin(), r.end(), std::mt19937(1));
    return r;
}

void Load(TFavoriteItems& items, std::vector<std::string> records) {
    items.SetLastID(static_cast<std::int32_t>(records.size()));
    items.Items().Lines() = std::move(records);
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
