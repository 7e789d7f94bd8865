// Backups of the stored favorites: .reg files of the Favorites key, named by the time they
// were written, the newest BackupsKept kept.
#include "FavRecovery.h"

#include "Exception.h"
#include "FavConsts.h"
#include "Registry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

std::mutex gFolderMutex;
std::string gFolderOverride;

// "Favorites-20240131-142501-123.reg": UTC, so that names sort by time.
constexpr std::string_view Prefix = "Favorites-";
constexpr std::string_view Suffix = ".reg";
constexpr std::size_t StampLength = 19; // YYYYMMDD-HHMMSS-mmm

using TMillis = std::chrono::sys_time<std::chrono::milliseconds>;

std::string Stamp(TMillis t) {
    using namespace std::chrono;
    const sys_days day = floor<days>(t);
    const year_month_day ymd(day);
    const hh_mm_ss<milliseconds> hms(t - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d-%03d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count()),
                  static_cast<int>(hms.subseconds().count()));
    return text;
}

// The time in a backup's file name; false for a name that is not one of ours.
bool ParseName(std::string_view name, TMillis& t) {
    if (name.size() != Prefix.size() + StampLength + Suffix.size() ||
        name.substr(0, Prefix.size()) != Prefix || name.substr(name.size() - Suffix.size()) != Suffix)
        return false;
    const std::string_view s = name.substr(Prefix.size(), StampLength);
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((i == 8 || i == 15) ? s[i] != '-' : (s[i] < '0' || s[i] > '9'))
            return false;
    const auto num = [&](std::size_t at, std::size_t len) {
        int v = 0;
        for (std::size_t i = at; i < at + len; ++i)
            v = v * 10 + (s[i] - '0');
        return v;
    };
    using namespace std::chrono;
    const year_month_day ymd{year(num(0, 4)), month(static_cast<unsigned>(num(4, 2))),
                             day(static_cast<unsigned>(num(6, 2)))};
    if (!ymd.ok() || num(9, 2) > 23 || num(11, 2) > 59 || num(13, 2) > 60)
        return false;
    t = sys_days(ymd) + hours(num(9, 2)) + minutes(num(11, 2)) + seconds(num(13, 2)) +
        milliseconds(num(16, 3));
    return true;
}

struct TFound {
    fs::path File;
    TMillis Time;
};

// Our backups in the folder, oldest first.
std::vector<TFound> Scan(const fs::path& folder) {
    std::vector<TFound> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        TMillis t;
        if (it->is_regular_file(ec) && ParseName(it->path().filename().string(), t))
            found.push_back({it->path(), t});
    }
    std::sort(found.begin(), found.end(),
              [](const TFound& a, const TFound& b) { return a.Time < b.Time; });
    return found;
}

#ifdef _WIN32
std::string Environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
#endif

} // namespace

std::string BackupFolder() {
    {
        std::lock_guard lock(gFolderMutex);
        if (!gFolderOverride.empty())
            return gFolderOverride;
    }
#ifdef _WIN32
    std::string local = Environment("LOCALAPPDATA");
    if (local.empty()) {
        const std::string profile = Environment("USERPROFILE");
        local = (profile.empty() ? std::string(".") : profile) + "\\AppData\\Local";
    }
    return local + "\\Quarvel\\backups";
#else
    return (fs::path(RegistryFile()).parent_path() / "backups").string();
#endif
}

void SetBackupFolder(const std::string& path) {
    std::lock_guard lock(gFolderMutex);
    gFolderOverride = path;
}

std::vector<TBackup> ListBackups() {
    std::vector<TBackup> backups;
    const std::vector<TFound> found = Scan(BackupFolder());
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        std::string time = Stamp(it->Time); // YYYYMMDD-HHMMSS-mmm
        time = time.substr(0, 4) + "-" + time.substr(4, 2) + "-" + time.substr(6, 2) + " " +
               time.substr(9, 2) + ":" + time.substr(11, 2) + ":" + time.substr(13, 2) + "." +
               time.substr(16, 3) + " UTC";
        backups.push_back({it->File.string(), std::move(time)});
    }
    return backups;
}

std::string WriteBackup(const std::string& keyName, const TRegValue& value) {
    const fs::path folder = BackupFolder();
    std::vector<TFound> found = Scan(folder);
    // After every earlier backup, also when the clock went back.
    TMillis t = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
    if (!found.empty() && found.back().Time >= t)
        t = found.back().Time + std::chrono::milliseconds(1);
    const fs::path file = folder / (std::string(Prefix) + Stamp(t) + std::string(Suffix));

    TRegDocument document;
    document.AddKey(keyName);
    document.SetValue(keyName, value);
    SaveRegFile(file.string(), document);

    found.push_back({file, t});
    std::error_code ec;
    for (std::size_t i = 0; i + BackupsKept < found.size(); ++i)
        fs::remove(found[i].File, ec); // an old backup left behind costs nothing
    return file.string();
}

TRegValue ReadBackup(const std::string& file, const std::string& keyName) {
    const TRegDocument document = LoadRegFile(file);
    if (const TRegValue* value = document.FindValue(keyName, sFavIdent))
        return *value;
    throw ERegistryException("The backup \"" + file + "\" holds no value \"" +
                             std::string(sFavIdent) + "\" under [" + keyName + "]");
}
