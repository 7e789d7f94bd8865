// How fast an open IDE follows another process's save: the expert over the shell's real Qt
// menus, a collection of FAVORITES favorites, and CHANGES renames of a top-level favorite by
// separate `favorites rename` processes. For each, the time from the save (the registry file's
// modification time) to the moment the Favorites menu shows the new alias; prints the median
// and the worst. Usage: follow_latency [FAVORITES [CHANGES]] (defaults 1000 and 50).
#include "Favorite.h"
#include "IdeWindow.h"
#include "Registry.h"
#include "RegistryWatcher.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::system_clock;

std::string Record(int parent, int position, int type, int id, const std::string& path,
                   const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + "|" + std::to_string(type) +
           "|" + std::to_string(id) + "|" + path + "|" + alias;
}

// When the file was last written, on the system clock.
Clock::time_point Modified(const std::string& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
}

bool MenuShows(QMenuBar* bar, const QString& text) {
    const QMenu* menu = bar->findChild<QMenu*>(QStringLiteral("FavoriteMenu"));
    if (!menu)
        return false;
    const QList<QAction*> actions = menu->actions();
    return std::any_of(actions.begin(), actions.end(),
                       [&](const QAction* a) { return a->text().endsWith(text); });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int favorites = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const int changes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;

    QTemporaryDir dir;
    const std::string registry = dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")).toStdString();
    SetRegistryFile(registry);
    {
        TFavoriteItems items;
        std::vector<std::string> records;
        records.push_back(Record(0, 0, fitProject, 1, "/home/ann/projects/Sample.dpr", "Sample"));
        records.push_back(Record(0, 1, fitGroup, 2, "", "Group"));
        for (int i = 3; i <= favorites; ++i)
            records.push_back(Record(2, i - 3, fitUnit, i,
                                     "/home/ann/projects/Unit" + std::to_string(i) + ".pas",
                                     "Unit " + std::to_string(i)));
        items.SetItems(TStringList(std::move(records)));
        items.SetLastID(favorites);
        items.SaveToReg();
    }

    IdeWindow window;
    QtToolServices services(window);
    TPackageHost host;
    host.toolServices = &services;
    BindPackageHost(&host);
    auto expert = std::make_unique<TFavoriteExpert>();

    std::vector<double> latencies;
    for (int i = 1; i <= changes; ++i) {
        const QString alias = QStringLiteral("alias %1").arg(i);
        QProcess tool;
        tool.start(QStringLiteral(FAVORITES_EXE),
                   {"--registry", QString::fromStdString(registry), "rename", "1", alias});
        if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
            std::fprintf(stderr, "favorites rename failed: %s\n",
                         tool.readAllStandardError().constData());
            return 1;
        }
        const Clock::time_point saved = Modified(registry);
        // Waits for events, not on a timer of its own: the check runs after each one.
        QTimer limit;
        limit.setSingleShot(true);
        limit.start(10000);
        while (!MenuShows(window.menuBar(), alias) && limit.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!limit.isActive()) {
            std::fprintf(stderr, "change %d never reached the menu\n", i);
            return 1;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - saved).count());
        // Lets the rest of that save's notifications pass, so that each change is its own burst.
        QTimer pause;
        pause.setSingleShot(true);
        pause.start(300);
        while (pause.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    expert.reset();
    BindPackageHost(nullptr);
    SetRegistryFile("");

    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%d changes over %d favorites, save to menu rebuilt: median %.1f ms, best %.1f ms, "
                "worst %.1f ms (gathering delay %lld ms)\n",
                changes, favorites, sorted[sorted.size() / 2], sorted.front(), sorted.back(),
                static_cast<long long>(ui::RegistryWatcher::DefaultDelay.count()));
    return 0;
}
