// The steps of favorites list and decode on a value of 100,000 records (about 9.7 MB, 62 MB as
// a .reg file): reading the registry file, decoding the stream, sorting, and the existence
// tests. bench/tool-timing.sh times the two commands as whole processes.
#include "FavUtils.h"
#include "Paths.h"
#include "RegFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

constexpr int Groups = 1000;
constexpr int Records = 100000;

// 1,000 top-level groups of 99 members in type order, the list shuffled as after adds.
std::vector<std::string> MakeRecords() {
    std::vector<std::string> r;
    const char* exts[] = {".dpr", ".dpk", ".pas", ".txt", ""};
    for (int g = 0; g < Groups; ++g)
        r.push_back("000000000|" + IntToStrLen(g, 3) + "|5|" + std::to_string(g + 1) +
                    "||Group " + std::to_string(g));
    const int per = (Records - Groups) / Groups;
    int id = Groups;
    for (int g = 1; g <= Groups; ++g) {
        for (int i = 0; i < per; ++i) {
            const int type = i * 5 / per;
            const std::string name = "Unit" + std::to_string(++id) + exts[type];
            r.push_back(IntToStrLen(g, 9) + "|" + IntToStrLen(i, 3) + "|" + std::to_string(type) +
                        "|" + std::to_string(id) + "|/home/developer/projects/sample" +
                        std::to_string(g) + "/source/delphi/" + name + "|" + name);
        }
    }
    while (static_cast<int>(r.size()) < Records)
        r.push_back("000000000|" + IntToStrLen(static_cast<int>(r.size()), 3) + "|3|" +
                    std::to_string(++id) + "|/tmp/extra.txt|extra.txt");
    std::shuffle(r.begin(), r.end(), std::mt19937(1));
    return r;
}

std::vector<std::uint8_t> MakeValue() {
    TFavoriteItems items;
    items.SetItems(TStringList(MakeRecords()));
    items.SetLastID(Records);
    return WriteFavoriteStream(items);
}

void BM_ParseRegFile(benchmark::State& state) {
    TRegDocument doc;
    TRegValue value;
    value.Name = "Items";
    value.Kind = TRegValueKind::Binary;
    value.Data = MakeValue();
    doc.SetValue("HKEY_CURRENT_USER\\Favorites", value);
    const std::vector<std::uint8_t> file = WriteRegFile(doc, TRegFormat::Version5);
    for (auto _ : state) {
        const TRegDocument read = ParseRegFile(file);
        benchmark::DoNotOptimize(read.Keys.data());
    }
    state.counters["file MB"] = static_cast<double>(file.size()) / 1e6;
}
BENCHMARK(BM_ParseRegFile)->Unit(benchmark::kMillisecond);

void BM_ReadFavoriteStream(benchmark::State& state) {
    const std::vector<std::uint8_t> value = MakeValue();
    for (auto _ : state) {
        TFavoriteItems items;
        ReadFavoriteStream(value, items);
        benchmark::DoNotOptimize(items.Items().Count());
    }
    state.counters["value MB"] = static_cast<double>(value.size()) / 1e6;
}
BENCHMARK(BM_ReadFavoriteStream)->Unit(benchmark::kMillisecond);

// Arg(1): shuffled, as after adds; Arg(0): already in order, as the add-in saves after a query.
void BM_Sort(benchmark::State& state) {
    std::vector<std::string> records = MakeRecords();
    if (state.range(0) == 0)
        std::sort(records.begin(), records.end(),
                  [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
    for (auto _ : state) {
        state.PauseTiming();
        TStringList list(records);
        state.ResumeTiming();
        list.Sort();
        benchmark::DoNotOptimize(list.Lines().data());
    }
}
BENCHMARK(BM_Sort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 10,000 files in 100 folders, one test each; Arg(1): the probe, Arg(0): one query per file.
void BM_Existence(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "bench_tool_existence";
    fs::remove_all(dir);
    std::vector<std::string> paths;
    for (int f = 0; f < 100; ++f) {
        fs::create_directories(dir / std::to_string(f));
        for (int i = 0; i < 100; ++i) {
            const fs::path file = dir / std::to_string(f) / ("Unit" + std::to_string(i) + ".pas");
            if (i % 10 != 0) // every tenth is missing
                std::ofstream(file) << "x";
            paths.push_back(file.string());
        }
    }
    for (auto _ : state) {
        int found = 0;
        if (state.range(0) == 1) {
            TPathProbe probe;
            for (const std::string& path : paths)
                found += probe.FileExists(path);
        } else {
            for (const std::string& path : paths)
                found += FileExists(path);
        }
        if (found != 9000)
            state.SkipWithError("9,000 of the files should exist");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_Existence)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
