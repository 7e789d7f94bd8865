#include "Registry.h"

#include "Exception.h"
#include "RegFile.h"
#include "RegistryLock.h"

#include <cstdlib>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

std::mutex gFileMutex;
std::string gFileOverride;

std::string Environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
#ifdef _WIN32
    std::string home = Environment("USERPROFILE");
    return home.empty() ? std::string(".") : home;
#else
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    return home.empty() ? std::string(".") : home;
#endif
}


std::string InvalidDataType(const std::string& name) {
    return "Invalid data type for '" + name + "'";
}

} // namespace

std::string RegistryFile() {
    {
        std::lock_guard lock(gFileMutex);
        if (!gFileOverride.empty())
            return gFileOverride;
    }
    if (std::string file = Environment("QUARVEL_REGISTRY"); !file.empty())
        return file;
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = HomeFolder() + "/.config";
    return config + "/Quarvel/HKEY_CURRENT_USER.reg";
}

std::string RegistrySubKey(const std::string& keyPath) {
    std::size_t first = 0, last = keyPath.size();
    while (first < last && keyPath[first] == '\\')
        ++first;
    while (last > first && keyPath[last - 1] == '\\')
        --last;
    return keyPath.substr(first, last - first);
}

void SetRegistryFile(const std::string& path) {
    std::lock_guard lock(gFileMutex);
    gFileOverride = path;
}

#ifdef _WIN32

struct TRegIniFile::Impl {
    HKEY Key = nullptr;
    std::string Path; // as opened, for the lock
};

TRegIniFile::TRegIniFile(const std::string& keyPath) : FImpl(std::make_unique<Impl>()) {
    FImpl->Path = keyPath;
    const std::string sub = RegistrySubKey(keyPath);
    const LONG rc =
        RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &FImpl->Key, nullptr);
    if (rc != ERROR_SUCCESS) {
        FImpl->Key = nullptr;
        throw ERegistryException("Failed to create key " + keyPath);
    }
}

TRegIniFile::~TRegIniFile() {
    if (FImpl && FImpl->Key)
        RegCloseKey(FImpl->Key);
}

std::size_t TRegIniFile::GetDataSize(const std::string& name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FImpl->Key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return 0;
    return size;
}

std::vector<std::uint8_t> TRegIniFile::ReadBinaryData(const std::string& name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FImpl->Key, name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_BINARY)
        throw ERegistryException(InvalidDataType(name));
    std::vector<std::uint8_t> data(size);
    // The value may change between the two queries; read until the buffer is big enough.
    for (;;) {
        DWORD got = static_cast<DWORD>(data.size());
        const LONG rc = RegQueryValueExA(FImpl->Key, name.c_str(), nullptr, &type,
                                         data.empty() ? nullptr : data.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            data.resize(got);
            continue;
        }
        if (rc != ERROR_SUCCESS || type != REG_BINARY)
            throw ERegistryException(InvalidDataType(name));
        data.resize(got);
        return data;
    }
}

std::optional<TRegValue> TRegIniFile::ReadValue(const std::string& name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FImpl->Key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    TRegValue value;
    value.Name = name;
    value.Data.resize(size);
    for (;;) {
        DWORD got = static_cast<DWORD>(value.Data.size());
        const LONG rc = RegQueryValueExA(FImpl->Key, name.c_str(), nullptr, &type,
                                         value.Data.empty() ? nullptr : value.Data.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            value.Data.resize(got);
            continue;
        }
        if (rc == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (rc != ERROR_SUCCESS)
            throw ERegistryException("Failed to read '" + name + "'");
        value.Data.resize(got);
        break;
    }
    if (type == REG_BINARY) {
        value.Kind = TRegValueKind::Binary;
    } else {
        value.Kind = TRegValueKind::Typed;
        value.RawType = type;
    }
    return value;
}

void TRegIniFile::WriteBinaryData(const std::string& name, const std::uint8_t* data,
                                  std::size_t size) {
    // An empty value still needs a buffer: some registry implementations refuse a null one.
    static const BYTE none = 0;
    const BYTE* bytes = size > 0 ? data : &none;
    const TRegistryLock lock(FImpl->Path); // no value is stored while another save is under way
    if (size > 0xFFFFFFFFu || RegSetValueExA(FImpl->Key, name.c_str(), 0, REG_BINARY, bytes,
                                             static_cast<DWORD>(size)) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

#else

namespace {
constexpr std::string_view RootKey = "HKEY_CURRENT_USER";
}

struct TRegIniFile::Impl {
    std::string File;
    std::string Key;       // full key name in the file
    TRegDocument Document; // as read when the key was opened, updated by each write
};

TRegIniFile::TRegIniFile(const std::string& keyPath) : FImpl(std::make_unique<Impl>()) {
    FImpl->File = RegistryFile();
    const std::string sub = RegistrySubKey(keyPath);
    FImpl->Key = sub.empty() ? std::string(RootKey) : std::string(RootKey) + "\\" + sub;
    FImpl->Document = LoadRegFile(FImpl->File);
    // A missing key reads as an empty one and is written with the first value: opening to
    // read never touches the file, which may not even be writable.
    if (!FImpl->Document.HasKey(FImpl->Key))
        FImpl->Document.AddKey(FImpl->Key);
}

TRegIniFile::~TRegIniFile() = default;

std::size_t TRegIniFile::GetDataSize(const std::string& name) {
    const TRegValue* value = FImpl->Document.FindValue(FImpl->Key, name);
    if (!value)
        return 0;
    switch (value->Kind) {
    case TRegValueKind::String:
        return value->Text.size() + 1; // with its terminating NUL, as the registry counts
    case TRegValueKind::DWord:
        return 4;
    case TRegValueKind::Binary:
    case TRegValueKind::Typed:
        return value->Data.size();
    case TRegValueKind::Delete:
        break;
    }
    return 0;
}

std::vector<std::uint8_t> TRegIniFile::ReadBinaryData(const std::string& name) {
    const TRegValue* value = FImpl->Document.FindValue(FImpl->Key, name);
    if (!value || value->Kind != TRegValueKind::Binary)
        throw ERegistryException(InvalidDataType(name));
    return value->Data;
}

std::optional<TRegValue> TRegIniFile::ReadValue(const std::string& name) {
    const TRegValue* value = FImpl->Document.FindValue(FImpl->Key, name);
    if (!value)
        return std::nullopt;
    return *value;
}

void TRegIniFile::WriteBinaryData(const std::string& name, const std::uint8_t* data,
                                  std::size_t size) {
    // Re-read so that changes other programs made to the file since the key was opened
    // survive; a file that no longer parses is left alone. The lock keeps another writer
    // from replacing the file between the re-read and the save.
    const TRegistryLock lock(FImpl->Key);
    TRegDocument document = LoadRegFile(FImpl->File);
    TRegValue value;
    value.Name = name;
    value.Kind = TRegValueKind::Binary;
    if (size > 0)
        value.Data.assign(data, data + size);
    document.SetValue(FImpl->Key, std::move(value));
    SaveRegFile(FImpl->File, document);
    FImpl->Document = std::move(document);
}

#endif
