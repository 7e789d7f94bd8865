// The Edit Favorites dialog over large collections: opening it (the copy, the group tree and
// the grid of the "Favorites" node), one full paint of the visible grid, and the commands whose
// cost may grow with the collection: leaving "All Files", OK while it is shown, Up/Down.
#include "AddToFavoritesWnd.h"
#include "EditFavoritesWnd.h"
#include "FavUtils.h"
#include "Records.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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

// The dialog shown over `total` favorites in total/20 groups, "Favorites" holding a tenth of
// them (its first tenth groups, then favorites of every kind): 10,000 in 500 groups, 1,000 in
// "Favorites" by default.
class Shown {
public:
    explicit Shown(int total = 10000) : items(Collection(total, total / 20, total / 10)) {
        dialog.EditItems().Assign(*items);
        dialog.show();
        QApplication::processEvents();
    }
    // The first row of a type with a row of the same kind class below it.
    int RowOf(int type) const {
        for (int row = 1; row + 1 < dialog.grdItems->RowCount(); ++row)
            if (GetIntPart(dialog.grdItems->Cell(0, row).toStdString(), 2, '|') == type)
                return row;
        return 1;
    }
    QTreeWidgetItem* AllFiles() const { return dialog.tvGroups->topLevelItem(0); }
    QTreeWidgetItem* Favorites() const { return dialog.tvGroups->topLevelItem(1); }

    std::unique_ptr<TFavoriteItems> items;
    TEditFavoritesWnd dialog;
};

// Collections from 2,500 to 40,000 favorites (a twentieth of them groups).
void Sizes(benchmark::internal::Benchmark* b) {
    for (int total = 2500; total <= 40000; total *= 2)
        b->Arg(total);
}

// One click of Down or Up (alternately, so the item stays about where it is).
void UpDown(benchmark::State& state, int type, int total) {
    Shown shown(total);
    TEditFavoritesWnd& d = shown.dialog;
    d.grdItems->SetRow(shown.RowOf(type));
    bool down = true;
    for (auto _ : state) {
        (down ? d.btnDown : d.btnUp)->click();
        down = !down;
    }
    state.counters["rows"] = d.grdItems->RowCount() - 1;
}
void BM_UpDown_Favorites(benchmark::State& state) {
    UpDown(state, fitUnit, 10000);
}
BENCHMARK(BM_UpDown_Favorites)->Unit(benchmark::kMicrosecond);
// Two groups: the tree of every group is built again.
void BM_UpDown_Groups(benchmark::State& state) {
    UpDown(state, fitGroup, static_cast<int>(state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_UpDown_Groups)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Complexity();

// From "All Files" (every favorite a row, one alias typed) back to "Favorites": the grid is
// written back into the copy and filled with the group's items.
void BM_LeaveAllFiles(benchmark::State& state) {
    Shown shown(static_cast<int>(state.range(0)));
    TEditFavoritesWnd& d = shown.dialog;
    int typed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.tvGroups->setCurrentItem(shown.AllFiles());
        d.grdItems->SetCell(1, d.grdItems->RowCount() / 2, QStringLiteral("Typed %1").arg(++typed));
        state.ResumeTiming();
        d.tvGroups->setCurrentItem(shown.Favorites());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LeaveAllFiles)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Complexity();

// OK while "All Files" is shown, one alias typed: what EditFavorites does after the dialog
// closes, the grid written back and the copy handed to the caller's collection.
void BM_OkOnAllFiles(benchmark::State& state) {
    Shown shown(static_cast<int>(state.range(0)));
    TEditFavoritesWnd& d = shown.dialog;
    d.tvGroups->setCurrentItem(shown.AllFiles());
    const int row = d.grdItems->RowCount() / 2;
    TFavoriteItems result;
    int typed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString alias = QStringLiteral("Typed %1").arg(++typed);
        d.grdItems->SetCell(1, row, alias);
        state.ResumeTiming();
        d.FlushGrid();
        result.Assign(d.EditItems());
        state.PauseTiming();
        // The row as a refill would show it, so that the next write-back finds its record.
        const QString record = d.grdItems->Cell(0, row);
        d.grdItems->SetCell(0, row, record.left(record.lastIndexOf(QLatin1Char('|')) + 1) + alias);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OkOnAllFiles)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Complexity();

// Deleting a favorite in the middle of "Favorites", 1,000 rows down to 800.
void BM_Delete(benchmark::State& state) {
    Shown shown;
    TEditFavoritesWnd& d = shown.dialog;
    for (auto _ : state) {
        state.PauseTiming();
        d.grdItems->SetRow(d.grdItems->RowCount() / 2);
        state.ResumeTiming();
        d.btnDelete->click();
    }
    state.counters["rows"] = d.grdItems->RowCount() - 1;
}
BENCHMARK(BM_Delete)->Iterations(200)->Unit(benchmark::kMicrosecond);

// What Add... does after the Add dialog's OK: the request into the copy under "Favorites",
// the grid filled again, the new row current.
void BM_Add_AfterOk(benchmark::State& state) {
    Shown shown;
    for (auto _ : state) {
        state.PauseTiming();
        TStringList request({"2", "New unit", "/home/ann/projects/new/Unit.pas"});
        state.ResumeTiming();
        shown.dialog.AddRequest(request);
    }
    state.counters["rows"] = shown.dialog.grdItems->RowCount() - 1;
}
BENCHMARK(BM_Add_AfterOk)->Iterations(200)->Unit(benchmark::kMillisecond);

// The whole Add... click, the Add dialog made, filled by a script and closed with OK.
void BM_Add_WithTheAddDialog(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Unit.pas"));
    QFile(file).open(QIODevice::WriteOnly);
    Shown shown;
    ui::ScriptedModalInteraction modal;
    const ui::ScopedModal installed(modal);
    for (auto _ : state) {
        modal.QueueDialog([&file](QDialog& dialog) {
            auto& add = static_cast<TAddToFavoritesWnd&>(dialog);
            add.rdoItem->click();
            add.edtItem->setText(file);
            add.edtAlias->setText(QStringLiteral("New unit"));
            add.btnOk->click();
            return ui::ScriptedModalInteraction::ResultOf(dialog);
        });
        shown.dialog.btnAdd->click();
    }
    if (!modal.ErrorTexts().isEmpty())
        state.SkipWithError(modal.ErrorTexts().first().toStdString().c_str());
    state.counters["rows"] = shown.dialog.grdItems->RowCount() - 1;
}
BENCHMARK(BM_Add_WithTheAddDialog)->Iterations(100)->Unit(benchmark::kMillisecond);

// The grid filled with 10,000 favorites: without accessible texts (the grid's hook removed, a
// cell reads as its stored text), with them (the dialog's hook, as shipped: the model makes a
// cell's text when a screen reader asks), and with them all made at once as well (every cell's
// text and description, kind words, readable paths and one existence test per item): what a
// screen reader reading every row would cost on top. Paired: each iteration times the three in
// turn, starting with a different one each time, so all see the same machine state; the
// counters give the mean of each and the extra shares against the filling without.
void BM_FillGrid_AccessibleTexts_Paired(benchmark::State& state) {
    // One group and 9,999 favorites, all in "Favorites".
    const auto items = Collection(10000, 1, 10000);
    TEditFavoritesWnd dialog;
    dialog.EditItems().Assign(*items);
    dialog.show();
    QApplication::processEvents();
    ui::TStringGrid& grid = *dialog.grdItems;
    const auto hook = grid.OnAccessibleText;
    QTreeWidgetItem* favorites = dialog.tvGroups->topLevelItem(1);
    // Not timed: the grid as an empty group leaves it, so every row is inserted and written.
    const auto empty = [&] {
        grid.SetRowCount(2);
        grid.SetCell(0, 1, QString());
        grid.SetCell(1, 1, QString());
        // Disabled, the grid has nothing to write back before it is filled again.
        grid.setEnabled(false);
    };
    const auto fill = [&] { dialog.tvGroupsChange(favorites); };
    const auto readAll = [&] {
        const QAbstractItemModel& model = *grid.model();
        qsizetype length = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            for (int col = 0; col < model.columnCount(); ++col) {
                const QModelIndex cell = model.index(row, col);
                length += model.data(cell, Qt::AccessibleTextRole).toString().size();
                length += model.data(cell, Qt::AccessibleDescriptionRole).toString().size();
            }
        return length;
    };
    using Clock = std::chrono::steady_clock;
    Clock::duration spent[3]{}; // without, with, with every text made
    int first = 0;
    for (auto _ : state) {
        for (int pass = 0; pass < 3; ++pass) {
            const int variant = (first + pass) % 3;
            grid.OnAccessibleText = variant == 0 ? nullptr : hook;
            empty();
            const auto start = Clock::now();
            fill();
            if (variant == 2)
                benchmark::DoNotOptimize(readAll());
            spent[variant] += Clock::now() - start;
        }
        first = (first + 1) % 3;
    }
    grid.OnAccessibleText = hook;
    const auto ms = [&](int variant) {
        return std::chrono::duration<double, std::milli>(spent[variant]).count() /
               static_cast<double>(state.iterations());
    };
    state.counters["rows"] = grid.RowCount() - 1;
    state.counters["without_ms"] = ms(0);
    state.counters["with_ms"] = ms(1);
    state.counters["with_pct"] = 100.0 * (ms(1) / ms(0) - 1.0);
    state.counters["all_read_ms"] = ms(2);
    state.counters["all_read_pct"] = 100.0 * (ms(2) / ms(0) - 1.0);
}
BENCHMARK(BM_FillGrid_AccessibleTexts_Paired)->Iterations(30)->Unit(benchmark::kMillisecond);

} // namespace
