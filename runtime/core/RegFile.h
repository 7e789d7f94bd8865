// The registry editor's export format (.reg files) as a document: keys in file order, each
// holding typed values. Reads "Windows Registry Editor Version 5.00" (UTF-16LE with a
// byte-order mark, or 8-bit text) and "REGEDIT4" (8-bit text); writes what the Windows
// registry editor writes. Text is held as UTF-8; 8-bit files are read as UTF-8, with bytes
// that do not form UTF-8 taken as Latin-1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class TRegFormat {
    Version5, // "Windows Registry Editor Version 5.00", written in UTF-16LE with BOM
    Regedit4, // "REGEDIT4", written in 8-bit text
};

enum class TRegValueKind {
    String, // "text"
    DWord,  // dword:0000002a
    Binary, // hex:01,02 (also read from hex(3):)
    Typed,  // hex(n):.. of any other registry type n
    Delete, // "name"=- : the value is to be removed
};

// Registry type codes the format names.
inline constexpr std::uint32_t RegTypeString = 1;
inline constexpr std::uint32_t RegTypeBinary = 3;
inline constexpr std::uint32_t RegTypeDWord = 4;

struct TRegValue {
    std::string Name; // empty for the default value, written '@'
    TRegValueKind Kind = TRegValueKind::String;
    std::string Text;               // String
    std::uint32_t Number = 0;       // DWord
    std::uint32_t RawType = 0;      // Typed: the registry type code
    std::vector<std::uint8_t> Data; // Binary and Typed

    bool operator==(const TRegValue&) const = default;
};

struct TRegKey {
    std::string Name;     // full path, e.g. "HKEY_CURRENT_USER\Favorites"
    bool Deleted = false; // written "[-NAME]": the key is to be removed; holds no values
    std::vector<TRegValue> Values;

    bool operator==(const TRegKey&) const = default;
};

class TRegDocument {
public:
    TRegFormat Format = TRegFormat::Version5;
    std::vector<TRegKey> Keys;

    // Same keys and values in the same order; the format is not compared.
    bool operator==(const TRegDocument& other) const { return Keys == other.Keys; }

    // The value as importing the file would leave it: sections of the same key merge, a
    // later definition wins, "[-KEY]" and "name"=- remove. Names ignore letter case.
    // Null when the value is missing.
    const TRegValue* FindValue(std::string_view keyName, std::string_view valueName) const;
    // True when importing the file would leave the key in place.
    bool HasKey(std::string_view keyName) const;
    // Appends a section for the key unless HasKey.
    void AddKey(std::string_view keyName);
    // Stores the value where FindValue finds it (keeping its place in the file), else in the
    // key's last live section, else in a new section at the end.
    void SetValue(std::string_view keyName, TRegValue value);
};

// Parses a .reg file. Raises ERegistryException naming the line on anything it cannot read.
TRegDocument ParseRegFile(std::span<const std::uint8_t> bytes);
// The file's bytes: Version5 in UTF-16LE with BOM, Regedit4 as UTF-8; CRLF line ends, a
// blank line after each key, hex values wrapped below 80 columns as the registry editor does.
// Raises ERegistryException for a string or name that cannot be written on one line.
std::vector<std::uint8_t> WriteRegFile(const TRegDocument& document, TRegFormat format);

// Reads and parses a file; a missing file gives an empty document. Raises
// ERegistryException (naming the file) when it cannot be read or parsed.
TRegDocument LoadRegFile(const std::string& path);
// Writes the document in its own format atomically: a temporary file in the same folder,
// flushed to disk, renamed over the old one. Creates missing folders. On failure the old
// file stays whole and ERegistryException is raised.
void SaveRegFile(const std::string& path, const TRegDocument& document);

namespace regfile_testing {
// Makes the readers take at most `bytes` bytes at a time (0: as many as fit), so that lines
// and line ends fall across reads.
void ReadInPiecesOf(std::size_t bytes);
// Makes the next file write of SaveRegFile fail (as on a full disk) after `bytes` bytes.
void FailNextWriteAfter(std::size_t bytes);
} // namespace regfile_testing
