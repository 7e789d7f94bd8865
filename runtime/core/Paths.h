// Path rules shared by every layer. Records written on Windows hold "C:\Apps\x.dpr", records
// made here "/home/...": '/' and '\' separate on every platform (and ':' too on Windows), so
// the same code reads both kinds of records.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// True for a character that separates path components on this platform.
bool IsPathSeparator(char c) noexcept;
// The separator this platform writes: '\' on Windows, '/' elsewhere.
char NativeSeparator() noexcept;
// Text after the last separator (the whole text if there is none), extension included.
std::string ExtractFileName(std::string_view path);
// Text up to and including the last separator (empty if there is none).
std::string ExtractFilePath(std::string_view path);
// From the last '.' of the final component to the end, dot included; empty without a dot.
std::string ExtractFileExt(std::string_view path);
// Removes one trailing separator, if there is one, and nothing else.
std::string ExcludeOneTrailingSeparator(std::string_view path);
// Removes every trailing '/' and '\' (a drive's colon stays).
std::string ExcludeTrailingSeparators(std::string_view path);

// True for a path in the Windows form: a drive letter ("C:") in front, or a backslash anywhere.
bool HasWindowsForm(std::string_view path) noexcept;
// `path` moved from under the folder `from` to the same place under the folder `to`; nothing
// when `from` is neither `path` nor one of its leading folders. Folders match as whole
// components, '/' and '\' alike, ignoring letter case when `path` has the Windows form; the
// part below `from` takes the separators of `to`, and a trailing separator is kept.
std::optional<std::string> RelocatePath(std::string_view path, std::string_view from,
                                        std::string_view to);

// True when the name denotes an existing file (not a folder); false for an empty name.
bool FileExists(const std::string& path);
// True when the path names an existing folder; false for an empty path or a file.
bool DirectoryExists(const std::string& path);

// FileExists and DirectoryExists for many paths, with the same answers: a folder asked about
// more than once is listed once, and its names are looked up in the listing (a folder that is
// missing holds nothing) instead of one query of the file system per path.
class TPathProbe {
public:
    TPathProbe();
    ~TPathProbe();
    TPathProbe(const TPathProbe&) = delete;
    TPathProbe& operator=(const TPathProbe&) = delete;

    bool FileExists(const std::string& path);
    bool DirectoryExists(const std::string& path);

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

// Matches a name against a mask with the Windows wildcard rules ('*' any run, '?' one
// character, letter case ignored; "*.*" matches every name), by the C library's fnmatch, or
// by the shell's PathMatchSpec on Windows.
bool MatchesMask(std::string_view name, std::string_view mask);
// Plain files (not folders, not hidden) directly inside folder whose names match mask, as
// full paths made of folder and name; in directory order. A folder that cannot be read
// gives nothing.
std::vector<std::string> FindFiles(const std::string& folder, std::string_view mask);
// The same for several masks, mask by mask, reading the folder once.
std::vector<std::string> FindFiles(const std::string& folder,
                                   std::span<const std::string_view> masks);
