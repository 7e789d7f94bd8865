// Registry persistence, kept apart so that users of the collection alone do not link the
// registry.
#include "FavConsts.h"
#include "FavRecovery.h"
#include "FavUtils.h"
#include "Exception.h"
#include "Registry.h"
#include "RegistryLock.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

namespace {

// The stored value as a save finds it.
struct TStored {
    std::optional<TRegValue> Value; // as stored; empty when missing
    std::vector<std::uint8_t> Bytes; // its binary data (empty for a value of another type)
    bool Binary = true;              // missing, or a binary value
    // Something is stored that a replacement would lose (an empty value holds nothing).
    bool Present() const { return Value && !(Binary && Bytes.empty()); }
};

TStored ReadStored(const std::string& section) {
    TStored stored;
    stored.Value = TRegIniFile(section).ReadValue(std::string(sFavIdent));
    if (stored.Value) {
        stored.Binary = stored.Value->Kind == TRegValueKind::Binary;
        if (stored.Binary)
            stored.Bytes = stored.Value->Data;
    }
    return stored;
}

TRegValue BinaryValue(const std::vector<std::uint8_t>& bytes) {
    TRegValue value;
    value.Name = std::string(sFavIdent);
    value.Kind = TRegValueKind::Binary;
    value.Data = bytes;
    return value;
}

// Keeps value as a backup and returns its file. When the value exists nowhere else, a failed
// backup stops the save; otherwise it is reported and the save goes on (returning "").
std::string KeepBackup(const std::string& section, const TRegValue& value, bool required,
                       TSaveReport& report) {
    try {
        report.BackupFiles.push_back(WriteBackup(RegistryKeyName(section), value));
        return report.BackupFiles.back();
    } catch (const std::exception& e) {
        if (required)
            throw ERegistryException(
                "the value it would replace could not be kept as a backup, so it was left as "
                "it is: " +
                std::string(e.what()));
        report.BackupError = e.what();
        return {};
    }
}

void Store(const std::string& section, const std::vector<std::uint8_t>& bytes) {
    TRegistryStream stream;
    stream.Write(bytes.data(), bytes.size());
    stream.SaveToRegistry(section, std::string(sFavIdent));
}

// Replaces the stored value by bytes, keeping the value replaced as a backup first (a failed
// backup stops the save when backupRequired). The same bytes are not written again: that
// would only wake every watcher of the value.
void Replace(const std::string& section, const TStored& stored,
             const std::vector<std::uint8_t>& bytes, bool backupRequired, TSaveReport& report) {
    report.Changed = !(stored.Binary && stored.Bytes == bytes);
    if (!report.Changed)
        return;
    if (stored.Present())
        report.StoredBackup = KeepBackup(section, *stored.Value, backupRequired, report);
    Store(section, bytes);
}

} // namespace

bool TRegistryStream::LoadFromRegistry(const std::string& keyPath, const std::string& valueName) {
    TRegIniFile reg(keyPath);
    if (reg.GetDataSize(valueName) == 0)
        return false;
    // Read first, so that a failed read leaves the stream as it was.
    std::vector<std::uint8_t> data = reg.ReadBinaryData(valueName);
    if (data.empty())
        return false;
    Bytes() = std::move(data); // a large value is not copied again
    Seek(Position());          // the position stays, within the new size, as SetSize keeps it
    return true;
}

void TRegistryStream::SaveToRegistry(const std::string& keyPath, const std::string& valueName) {
    TRegIniFile reg(keyPath);
    reg.WriteBinaryData(valueName, Memory(), Size());
}

void TFavoriteItems::LoadFromReg() {
    TRegistryStream stream;
    std::vector<std::uint8_t> loaded;
    if (stream.LoadFromRegistry(GetSection(), std::string(sFavIdent)) && stream.Size() > 0) {
        loaded = stream.Bytes();
        ReadFavoriteStream(loaded, *this);
    }
    FLoaded = true;
    FLoadedValue = std::move(loaded);
}

bool TFavoriteItems::Unsaved() const {
    if (!FLoaded)
        return true;
    if (WriteFavoriteStream(*this) == FLoadedValue)
        return false;
    // The same records in another order (a query sorts the list) are no change.
    std::vector<std::string_view> stored;
    std::int32_t storedLastID = 0;
    if (!FLoadedValue.empty()) {
        TFavoriteStreamView view = ViewFavoriteStream(FLoadedValue);
        if (view.Items)
            stored = std::move(*view.Items);
        storedLastID = view.LastID.value_or(0);
    }
    if (storedLastID != FLastID || stored.size() != static_cast<std::size_t>(FItems.Count()))
        return true;
    std::vector<std::string_view> held(FItems.begin(), FItems.end());
    std::sort(stored.begin(), stored.end());
    std::sort(held.begin(), held.end());
    return stored != held;
}

TFavoriteItems::TFollow TFavoriteItems::FollowStoredValue() {
    TStored stored;
    try {
        stored = ReadStored(GetSection());
    } catch (const ERegistryException&) {
        return TFollow::Unreadable; // the registry file itself cannot be read
    }
    if (!stored.Binary)
        return TFollow::Unreadable;
    if (FLoaded && stored.Bytes == FLoadedValue)
        return TFollow::Unchanged;
    auto theirs = std::make_unique<TFavoriteItems>();
    try {
        if (!stored.Bytes.empty())
            ReadFavoriteStream(stored.Bytes, *theirs);
    } catch (const EReadError&) {
        return TFollow::Unreadable;
    }
    if (Unsaved()) {
        TFavoriteItems base, merged;
        if (FLoaded && !FLoadedValue.empty())
            ReadFavoriteStream(FLoadedValue, base);
        MergeFavorites(base, *this, *theirs, merged);
        Assign(merged);
    } else {
        Assign(*theirs);
    }
    FLoaded = true;
    FLoadedValue = std::move(stored.Bytes);
    return TFollow::Reloaded;
}

TSaveReport TFavoriteItems::SaveToReg() {
    const std::string section = GetSection();
    // From the re-read to the replace no other writer may store a value, or the merge below
    // would miss its changes.
    const TRegistryLock lock(section);
    const TStored stored = ReadStored(section);
    TSaveReport report;
    const std::vector<std::uint8_t> own = WriteFavoriteStream(*this);

    std::unique_ptr<TFavoriteItems> theirs;
    if (!stored.Binary) {
        report.StoredUnreadable = true;
    } else if (!stored.Bytes.empty() && !(FLoaded && stored.Bytes == FLoadedValue)) {
        theirs = std::make_unique<TFavoriteItems>();
        try {
            ReadFavoriteStream(stored.Bytes, *theirs);
        } catch (const EReadError&) {
            report.StoredUnreadable = true;
            theirs.reset();
        }
    }
    // Another writer changed the value since it was loaded: both writers' changes count.
    const bool merge = FLoaded && !report.StoredUnreadable && stored.Bytes != FLoadedValue;
    std::unique_ptr<TFavoriteItems> merged;
    if (merge) {
        TFavoriteItems base;
        if (!FLoadedValue.empty())
            ReadFavoriteStream(FLoadedValue, base);
        if (!theirs)
            theirs = std::make_unique<TFavoriteItems>(); // the other writer removed the value
        merged = std::make_unique<TFavoriteItems>();
        const TMergeOutcome outcome = MergeFavorites(base, *this, *theirs, *merged);
        report.Merged = true;
        report.Conflicts = outcome.Conflicts;
        report.Clashes = std::move(outcome.Clashes);
        // What of this collection gave way to the other writer's deletions is kept too.
        if (outcome.MineDropped)
            report.OwnBackup = KeepBackup(section, BinaryValue(own), false, report);
    }
    const std::vector<std::uint8_t> target = merged ? WriteFavoriteStream(*merged) : own;

    Replace(section, stored, target, report.StoredUnreadable, report);
    if (merged)
        Assign(*merged);
    FLoaded = true;
    FLoadedValue = target;
    return report;
}

TSaveReport ReplaceStoredValue(const std::string& section, const std::vector<std::uint8_t>& bytes) {
    const TRegistryLock lock(section);
    const TStored stored = ReadStored(section);
    TSaveReport report;
    Replace(section, stored, bytes, true, report);
    return report;
}
