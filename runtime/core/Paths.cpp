#include "Paths.h"

#include "StringList.h"

#include <filesystem>
#include <span>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// windows.h first: shlwapi.h needs its types.
#include <shlwapi.h>
#else
#include <dirent.h>
#include <fnmatch.h>

#include <cerrno>
#endif

#include <unordered_map>

namespace fs = std::filesystem;

bool IsPathSeparator(char c) noexcept {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '\\' || c == '/';
#endif
}

char NativeSeparator() noexcept {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

namespace {
// Hidden and system files are left out of a search, as the Windows search for plain files
// does; off Windows a leading '.' marks a hidden file.
bool IsHidden([[maybe_unused]] const std::string& folder, [[maybe_unused]] const std::string& name) {
#ifdef _WIN32
    const DWORD attr = GetFileAttributesA((folder + name).c_str());
    return attr == INVALID_FILE_ATTRIBUTES ||
           (attr & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
    return name[0] == '.';
#endif
}

size_t LastSeparator(std::string_view path) noexcept {
    for (size_t i = path.size(); i-- > 0;)
        if (IsPathSeparator(path[i]))
            return i;
    return std::string_view::npos;
}
} // namespace

std::string ExtractFileName(std::string_view path) {
    const size_t p = LastSeparator(path);
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFilePath(std::string_view path) {
    const size_t p = LastSeparator(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileExt(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ExcludeOneTrailingSeparator(std::string_view path) {
    if (!path.empty() && IsPathSeparator(path.back()))
        path.remove_suffix(1);
    return std::string(path);
}

std::string ExcludeTrailingSeparators(std::string_view path) {
    // Slashes only: a drive's colon stays, so "C:\" keeps naming the drive's root as "C:".
    while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.remove_suffix(1);
    return std::string(path);
}

namespace {
// A path as relocation sees it: its leading separators, its non-empty components, and
// whether it ends in a separator. Only '/' and '\' separate here, on every platform: a
// drive "C:" is a component.
struct TSplitPath {
    std::string_view Root;
    std::vector<std::string_view> Components;
    bool Trailing = false;
};

bool IsSlash(char c) noexcept {
    return c == '/' || c == '\\';
}

TSplitPath SplitPath(std::string_view path) {
    TSplitPath split;
    std::size_t i = 0;
    while (i < path.size() && IsSlash(path[i]))
        ++i;
    split.Root = path.substr(0, i);
    while (i < path.size()) {
        const std::size_t start = i;
        while (i < path.size() && !IsSlash(path[i]))
            ++i;
        split.Components.push_back(path.substr(start, i - start));
        while (i < path.size() && IsSlash(path[i]))
            ++i;
    }
    split.Trailing = !split.Components.empty() && IsSlash(path.back());
    return split;
}
} // namespace

bool HasWindowsForm(std::string_view path) noexcept {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive || path.find('\\') != std::string_view::npos;
}

std::optional<std::string> RelocatePath(std::string_view path, std::string_view from,
                                        std::string_view to) {
    const TSplitPath p = SplitPath(path);
    const TSplitPath f = SplitPath(from);
    if ((f.Root.empty() && f.Components.empty()) || p.Root.size() != f.Root.size() ||
        p.Components.size() < f.Components.size())
        return std::nullopt;
    const bool ignoreCase = HasWindowsForm(path);
    for (std::size_t i = 0; i < f.Components.size(); ++i)
        if (ignoreCase ? !SameText(p.Components[i], f.Components[i])
                       : p.Components[i] != f.Components[i])
            return std::nullopt;

    // The separator `to` writes: its last one, else a drive's backslash, else the native one.
    const std::size_t last = to.find_last_of("/\\");
    const char sep = last != std::string_view::npos ? to[last]
                     : HasWindowsForm(to)           ? '\\'
                                                    : NativeSeparator();
    std::string result(to);
    while (!result.empty() && IsSlash(result.back()))
        result.pop_back();
    for (std::size_t i = f.Components.size(); i < p.Components.size(); ++i) {
        result += sep;
        result += p.Components[i];
    }
    // Components are never empty, so only the bare root still lacks its separator here.
    if (result.empty() || p.Trailing)
        result += sep;
    return result;
}

bool FileExists(const std::string& path) {
    if (path.empty())
        return false;
#ifdef _WIN32
    // "a.pas\" names a folder; some file systems would still find the file.
    if (IsPathSeparator(path.back()))
        return false;
#endif
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(path), ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool DirectoryExists(const std::string& path) {
    if (path.empty())
        return false;
#ifdef _WIN32
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
#endif
}

#ifdef _WIN32

// Names on Windows compare without letter case and folders have more than one separator; the
// probe asks the system each time.
struct TPathProbe::Impl {};
TPathProbe::TPathProbe() = default;
TPathProbe::~TPathProbe() = default;
bool TPathProbe::FileExists(const std::string& path) {
    return ::FileExists(path);
}
bool TPathProbe::DirectoryExists(const std::string& path) {
    return ::DirectoryExists(path);
}

#else

struct TPathProbe::Impl {
    enum class TState { New, Asked, Listed, Missing, Unlisted };
    struct TFolder {
        TState State = TState::New;
        std::unordered_map<std::string, unsigned char> Types; // name -> d_type
    };
    std::unordered_map<std::string, TFolder> Folders;

    // Lists the folder; its state says how that went.
    static void List(const std::string& folder, TFolder& f) {
        DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!d) {
            // A folder that is not there holds nothing; one that cannot be read still may.
            f.State = (errno == ENOENT || errno == ENOTDIR) ? TState::Missing : TState::Unlisted;
            return;
        }
        f.State = TState::Listed;
        while (const dirent* e = ::readdir(d))
            f.Types.emplace(e->d_name, e->d_type);
        ::closedir(d);
    }

    // 1 when the listing says the name is a folder, 0 when it says it is something else or
    // nothing (folder missing), -1 when the system must be asked.
    int Lookup(const std::string& path, bool& isFolder) {
        const std::size_t slash = path.rfind('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        // The system reads a name only up to a NUL.
        if (name.empty() || name == "." || name == ".." || path.find('\0') != std::string::npos)
            return -1;
        const std::string folder =
            slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        TFolder& f = Folders[folder];
        // The first question of a folder goes to the system; listing pays from the second.
        if (f.State == TState::New) {
            f.State = TState::Asked;
            return -1;
        }
        if (f.State == TState::Asked)
            List(folder, f);
        if (f.State == TState::Missing)
            return 0;
        if (f.State != TState::Listed)
            return -1;
        const auto it = f.Types.find(name);
        // Names the listing lacks may still be found under another letter case.
        if (it == f.Types.end() || it->second == DT_LNK || it->second == DT_UNKNOWN)
            return -1;
        isFolder = it->second == DT_DIR;
        return 1;
    }
};

TPathProbe::TPathProbe() : FImpl(std::make_unique<Impl>()) {}
TPathProbe::~TPathProbe() = default;

bool TPathProbe::FileExists(const std::string& path) {
    // A name ending in '/' is a folder or nothing.
    if (path.empty() || path.back() == '/')
        return ::FileExists(path);
    bool folder = false;
    const int known = FImpl->Lookup(path, folder);
    return known < 0 ? ::FileExists(path) : known == 1 && !folder;
}

bool TPathProbe::DirectoryExists(const std::string& path) {
    std::string_view name = path;
    while (name.size() > 1 && name.back() == '/')
        name.remove_suffix(1);
    bool folder = false;
    const int known = name.empty() ? -1 : FImpl->Lookup(std::string(name), folder);
    return known < 0 ? ::DirectoryExists(path) : known == 1 && folder;
}

#endif

bool MatchesMask(std::string_view name, std::string_view mask) {
    // "*.*" takes names without a dot too, as the Windows search does.
    if (mask == "*.*")
        return true;
    if (mask.empty())
        return false;
    const std::string n(name), m(mask);
#ifdef _WIN32
    return PathMatchSpecA(n.c_str(), m.c_str()) != FALSE;
#else
    // Windows masks know no escapes; letter case does not count there.
    return fnmatch(m.c_str(), n.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) == 0;
#endif
}

std::vector<std::string> FindFiles(const std::string& folder,
                                   std::span<const std::string_view> masks) {
    // The folder is read once; each mask then goes over its plain files in directory order.
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec)
        return {};
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::string name = it->path().filename().string();
        if (name.empty() || IsHidden(folder, name))
            continue;
        std::error_code sec;
        if (it->is_regular_file(sec) && !sec)
            names.push_back(std::move(name));
    }
    std::vector<std::string> result;
    for (const std::string_view mask : masks)
        for (const std::string& name : names)
            if (MatchesMask(name, mask))
                result.push_back(folder + name);
    return result;
}

std::vector<std::string> FindFiles(const std::string& folder, std::string_view mask) {
    return FindFiles(folder, std::span(&mask, 1));
}
