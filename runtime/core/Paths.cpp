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
#include <fnmatch.h>
#endif

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
