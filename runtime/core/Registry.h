// The registry settings class of the component runtime: keys under HKEY_CURRENT_USER.
// On Windows it is the Win32 registry. Elsewhere it is one file in the registry editor's
// export format (see RegFile.h), by default $XDG_CONFIG_HOME/Quarvel/HKEY_CURRENT_USER.reg,
// or the file named by QUARVEL_REGISTRY; every change is saved atomically.
#pragma once

#include <cstddef>
#include <cstdint>
#include "RegFile.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The registry file used off Windows: the override if one is set, else $QUARVEL_REGISTRY,
// else $XDG_CONFIG_HOME/Quarvel/HKEY_CURRENT_USER.reg (~/.config when XDG_CONFIG_HOME is unset).
std::string RegistryFile();
// Sets (or, with an empty path, clears) a process-wide override of RegistryFile().
void SetRegistryFile(const std::string& path);

// The key below HKEY_CURRENT_USER that a key path names, without leading or trailing '\':
// "\Favorites" and "Favorites\" both give "Favorites".
std::string RegistrySubKey(const std::string& keyPath);

// One open key of HKEY_CURRENT_USER. On Windows it is created when missing (also when only
// reading); off Windows a missing key reads as empty and is made by the first write, so that
// reading never writes.
// A key path may start with '\' ("\Favorites"); sub-keys are separated by '\'.
class TRegIniFile {
public:
    // Opens the key (on Windows creating it when missing). Raises ERegistryException when the
    // registry cannot be read or the key cannot be created.
    explicit TRegIniFile(const std::string& keyPath);
    ~TRegIniFile();
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    // Size in bytes of the named value, of whatever type; 0 when it is missing or empty.
    std::size_t GetDataSize(const std::string& name);
    // The named value's bytes. Raises ERegistryException when the value is missing or is
    // not binary ("Invalid data type for 'Items'").
    std::vector<std::uint8_t> ReadBinaryData(const std::string& name);
    // The named value as stored, of whatever type (on Windows every type but binary comes
    // back as Typed with its raw bytes); empty when it is missing.
    std::optional<TRegValue> ReadValue(const std::string& name);
    // Stores the bytes as a binary value, replacing any earlier value; the change is on
    // disk when this returns. It holds the registry lock (RegistryLock.h), off Windows while
    // it re-reads and replaces the file. Raises ERegistryException when the write is refused.
    void WriteBinaryData(const std::string& name, const std::uint8_t* data, std::size_t size);

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};
