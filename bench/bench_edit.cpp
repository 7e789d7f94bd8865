// The Edit Favorites dialog over large collections: opening it (the copy, the group tree and
// the grid of the "Favorites" node) and one full paint of the visible grid.
#include "EditFavoritesWnd.h"
#include "FavUtils.h"
#include "Records.h"

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// total favorites and groups, rootItems of them directly in "Favorites" (a tenth of those
// groups, the other groups below them); the other favorites spread over the groups.
std::unique_ptr<TFavoriteItems> Collection(int total, int groups, int rootItems) {
    struct Child {
        int type;
        int id;
    };
    std::vector<std::vector<Child>> children(static_cast<std::size_t>(groups + 1));
    std::vector<int> groupIds; // index 0 stands for the root
    groupIds.push_back(0);
    int id = 0;
    const int topGroups = std::max(1, std::min(groups, rootItems / 10));
    for (int g = 0; g < groups; ++g) {
        const int parent = g < topGroups ? 0 : 1 + (g % topGroups);
        children[static_cast<std::size_t>(parent)].push_back({fitGroup, ++id});
        groupIds.push_back(id);
    }
    const int favorites = total - groups;
    for (int f = 0; f < favorites; ++f) {
        const int slot = f < rootItems - topGroups ? 0 : 1 + f % groups;
        children[static_cast<std::size_t>(slot)].push_back({f % 5, ++id});
    }
    std::vector<std::string> records;
    for (std::size_t slot = 0; slot < children.size(); ++slot) {
        std::vector<Child>& list = children[slot];
        std::stable_sort(list.begin(), list.end(),
                         [](const Child& a, const Child& b) { return a.type < b.type; });
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Child& c = list[i];
            const std::string path =
                c.type == fitGroup ? std::string()
                                   : "/home/ann/projects/favorites/bench/item" +
                                         std::to_string(c.id) + (c.type == fitFolder ? "" : ".pas");
            records.push_back(testsupport::Record(groupIds[slot], static_cast<int>(i), c.type, c.id,
                                                  path, "Item " + std::to_string(c.id)));
        }
    }
    auto items = std::make_unique<TFavoriteItems>();
    items->SetItems(TStringList(std::move(records)));
    items->SetLastID(id);
    return items;
}

// Times making the dialog, copying the favorites and showing it (FormShow: the tree, then the
// grid of "Favorites"); freeing it is not timed.
void OpenDialog(benchmark::State& state, const TFavoriteItems& items) {
    for (auto _ : state) {
        auto dialog = std::make_unique<TEditFavoritesWnd>();
        dialog->EditItems().Assign(items);
        dialog->show();
        benchmark::DoNotOptimize(dialog->grdItems->RowCount());
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
}

void BM_OpenDialog(benchmark::State& state) {
    OpenDialog(state,
               *Collection(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                           static_cast<int>(state.range(2))));
    state.SetComplexityN(state.range(0));
}
// Favorites, groups, items in "Favorites": all three grow together.
BENCHMARK(BM_OpenDialog)
    ->Args({2500, 125, 250})
    ->Args({5000, 250, 500})
    ->Args({10000, 500, 1000})
    ->Args({20000, 1000, 2000})
    ->Args({40000, 2000, 4000})
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// 10,000 favorites in 500 groups; only the items of "Favorites" grow.
void BM_OpenDialog_FavoritesNode(benchmark::State& state) {
    OpenDialog(state, *Collection(10000, 500, static_cast<int>(state.range(0))));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenDialog_FavoritesNode)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// One full paint of the grid as shown: header and every visible cell, pictures, existence
// tests and ellipses included.
void BM_PaintVisibleGrid(benchmark::State& state) {
    const auto items = Collection(10000, 500, static_cast<int>(state.range(0)));
    TEditFavoritesWnd dialog;
    dialog.EditItems().Assign(*items);
    dialog.show();
    QApplication::processEvents();
    QPixmap target(dialog.grdItems->size());
    for (auto _ : state) {
        dialog.grdItems->render(&target);
        benchmark::ClobberMemory();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PaintVisibleGrid)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

} // namespace
