// Building the Favorites menu for large collections: against a host that does nothing (the
// add-in's own cost) and against the shell's real Qt menus; and the Add command around it:
// the search of a group's folder and the addition after the dialog's OK.
#include "AddToFav.h"
#include "Favorite.h"
#include "IdeWindow.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class NullMenuItem : public TIMenuItemIntf {
public:
    std::unique_ptr<TIMenuItemIntf> MenuInsertItem(int, const std::string&, const std::string&,
                                                   const std::string&, int, int, int, int,
                                                   TIMenuClickEvent) override {
        return std::make_unique<NullMenuItem>();
    }
    int MenuGetIndex() override { return 0; }
    int MenuGetItemCount() override { return 0; }
    std::unique_ptr<TIMenuItemIntf> MenuGetItem(int) override { return nullptr; }
    std::string MenuGetName() override { return {}; }
    std::string MenuGetCaption() override { return {}; }
    bool MenuDestroyItem() override { return true; }
};

class NullMainMenu : public TIMainMenuIntf {
public:
    std::unique_ptr<TIMenuItemIntf> MainMenuGetItems() override {
        return std::make_unique<NullMenuItem>();
    }
    std::unique_ptr<TIMenuItemIntf> MainMenuFindItem(const std::string&) override {
        return std::make_unique<NullMenuItem>();
    }
};

class NullHost : public TIToolServices {
public:
    std::unique_ptr<TIMainMenuIntf> HostGetMainMenu() override {
        return std::make_unique<NullMainMenu>();
    }
    std::string HostGetProjectName() override { return {}; }
    std::string HostGetCurrentFile() override { return {}; }
    bool HostIsFileOpen(const std::string&) override { return false; }
    bool HostOpenProject(const std::string&) override { return true; }
    bool HostOpenFile(const std::string&) override { return true; }
};

std::string Record(int parent, int position, int type, int id, const std::string& path,
                   const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + "|" + std::to_string(type) +
           "|" + std::to_string(id) + "|" + path + "|" + alias;
}

// `favorites` favorites in favorites / 20 groups nested as a tree of four branches per group
// (500 groups about five levels deep for 10,000), each group with 20 favorites of all kinds.
TStringList Collection(int favorites) {
    const int groups = std::max(1, favorites / 20);
    std::vector<std::vector<std::string>> children(groups + 1); // by parent id (0: root)
    std::vector<int> nextPosition(groups + 1, 0);
    std::vector<std::string> records;
    for (int i = 0; i < favorites; ++i) {
        const int parent = 1 + i % groups;
        const int type = (i / groups) % 5;
        records.push_back(Record(parent, nextPosition[parent]++, type, groups + 1 + i,
                                 "/home/user/projects/p" + std::to_string(i) + "/File.pas",
                                 type == 3 ? "" : "Favorite " + std::to_string(i)));
    }
    for (int g = 0; g < groups; ++g) {
        const int parent = g == 0 ? 0 : 1 + (g - 1) / 4;
        records.push_back(Record(parent, nextPosition[parent]++, fitGroup, g + 1, "",
                                 "Group " + std::to_string(g)));
    }
    return TStringList(std::move(records));
}

// The expert bound to a host, over an empty private registry, then given the collection.
class MenuSetup {
public:
    MenuSetup(TIToolServices& services, int favorites) {
        SetRegistryFile(dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")).toStdString());
        TPackageHost host;
        host.toolServices = &services;
        BindPackageHost(&host);
        expert = std::make_unique<TFavoriteExpert>();
        expert->FavoriteItems().SetItems(Collection(favorites));
        expert->FavoriteItems().Items().Sort();
    }
    ~MenuSetup() {
        expert->DestroyFavoriteMenu();
        expert->FavoriteItems().SetItems(TStringList());
        expert.reset();
        BindPackageHost(nullptr);
        SetRegistryFile("");
    }

    QTemporaryDir dir;
    std::unique_ptr<TFavoriteExpert> expert;
};

void BM_CreateFavoriteMenu_NullHost(benchmark::State& state) {
    NullHost host;
    MenuSetup setup(host, static_cast<int>(state.range(0)));
    for (auto _ : state)
        setup.expert->CreateFavoriteMenu();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CreateFavoriteMenu_NullHost)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_CreateFavoriteMenu_QtMenus(benchmark::State& state) {
    IdeWindow window;
    QtToolServices services(window);
    MenuSetup setup(services, static_cast<int>(state.range(0)));
    setup.expert->DestroyFavoriteMenu();
    for (auto _ : state) {
        setup.expert->CreateFavoriteMenu();
        state.PauseTiming();
        setup.expert->DestroyFavoriteMenu();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CreateFavoriteMenu_QtMenus)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A folder of 10,000 files of which 2,500 are projects, groups, packages and units.
void BM_GetFolderFilesAndSort(benchmark::State& state) {
    QTemporaryDir dir;
    const char* const kinds[] = {".bpg", ".dpr", ".dpk", ".pas", ".txt", ".txt", ".txt",
                                 ".txt", ".txt", ".txt", ".txt", ".txt", ".txt", ".txt",
                                 ".txt", ".txt"};
    for (int i = 0; i < 10000; ++i) {
        QFile file(QDir(dir.path()).filePath(QStringLiteral("File%1").arg((i * 7919) % 10000) +
                                             QString::fromLatin1(kinds[i % 16])));
        file.open(QIODevice::WriteOnly);
    }
    const std::string folder = dir.path().toStdString();
    TStringList files;
    for (auto _ : state) {
        GetFolderFiles(folder, 0, files);
        SortFileNames(files);
    }
    state.counters["files"] = files.Count();
}
BENCHMARK(BM_GetFolderFilesAndSort)->Unit(benchmark::kMillisecond);

// After the Add dialog's OK: the request goes into 10,000 favorites and the Qt menu is built
// again.
void BM_AddFavorites_QtMenus(benchmark::State& state) {
    IdeWindow window;
    QtToolServices services(window);
    MenuSetup setup(services, static_cast<int>(state.range(0)));
    setup.expert->DestroyFavoriteMenu();
    setup.expert->CreateFavoriteMenu();
    for (auto _ : state) {
        state.PauseTiming();
        TStringList request({"2", "New unit", "/home/user/projects/new/Unit.pas"});
        state.ResumeTiming();
        setup.expert->AddFavorites(request);
    }
}
BENCHMARK(BM_AddFavorites_QtMenus)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
