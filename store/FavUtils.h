// Unit FavUtils: the favorites collection, its record helpers, its registry stream and the
// folder test. No Qt here.
//
// An item record is one line of six '|'-separated fields:
//   parent id (9 digits) | position (3 digits) | type | id | path | alias
#pragma once

#include "MemoryStream.h"
#include "StringList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Item type codes.
enum TFavItemType : int {
    fitProject = 0, // project (.dpr) or project group (.bpg)
    fitPackage = 1, // .dpk
    fitUnit = 2,    // .pas
    fitFile = 3,    // any other file
    fitFolder = 4,
    fitGroup = 5,
};

// The record that stands for the top level (id 0).
inline constexpr std::string_view RootRecord = "000000000|000|0|0||Favorites";
// Unit name carried by the store's assertion failures.
inline constexpr std::string_view FavUtilsUnitName = "FavUtils";

// Field `index` of text split at `separator`; empty when there is no such field.
std::string GetPart(std::string_view text, std::uint8_t index, char separator);
// Plain, optionally signed decimal digits that fit 32 bits; true and the value when the
// text is one, false (value unchanged) otherwise.
bool TryStrToInt(std::string_view s, std::int32_t& value) noexcept;
// The six fields of a record at once, as GetPart gives fields 0 to 5 (views into record).
std::array<std::string_view, 6> RecordFields(std::string_view record) noexcept;
// A field read as GetIntPart reads it: 0 unless it is plain decimal that fits.
std::int32_t FieldInt(std::string_view field) noexcept;
// GetPart converted from decimal; 0 for an empty or non-numeric field.
std::int32_t GetIntPart(std::string_view text, std::uint8_t index, char separator);
// Decimal text of value, filled on the left with '0' to at least len characters.
std::string IntToStrLen(std::int32_t value, int len);
// Type code of a file by its extension: .DPR/.BPG 0, .DPK 1, .PAS 2, anything else 3.
int GetFileItemType(std::string_view fileName);
// True when the path names an existing folder.
bool FolderExists(const std::string& path);
// True when text is empty once blanks and control characters are trimmed from its ends.
bool IsBlank(std::string_view text) noexcept;
// Kind word of an item type for messages: "Project", "Library", "Unit", "File" or "Folder"
// for types 0 to 4; empty for any other type.
std::string KindWord(int itemType);
// Kind class of an item type: 0 for projects and packages, 1 for units and other files, 2 for
// folders and groups; -1 for any other code. The menu separates runs of different classes and
// the Edit dialog moves an item only past a neighbour of its class.
int KindClass(int itemType);
// True when both types lie in the same kind class (never for a code outside 0 to 5).
bool SameKindClass(int a, int b);
// What a record is shown by: its alias (field 5), or its path (field 4) when the alias holds
// nothing but blanks and control characters. A non-blank alias is taken untrimmed.
std::string ItemCaption(std::string_view record);

// The text after the record's last '|': the alias (field 5) of a well-formed record, and what
// ChangeAlias replaces also in a record whose path holds a '|'.
std::string RecordAlias(std::string_view record);
// The record with field 4 (the path) replaced: fields 0 to 3, the path, field 5.
std::string RecordWithPath(std::string_view record, std::string_view path);

// Asks the processor to fetch memory that is about to be read, where the compiler can.
inline void Prefetch(const void* p) noexcept {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}
// How many records ahead a walk over the records prefetches.
inline constexpr std::size_t PrefetchDistance = 8;

// The full name of the registry key at a key path: "HKEY_CURRENT_USER\Favorites".
inline std::string RegistryKeyName(const std::string& section) {
    return "HKEY_CURRENT_USER" + section;
}

// One item on which the two writers' changes clashed.
struct TMergeClash {
    enum TKind {
        BothChanged,    // both changed Field: `mine`'s value was taken
        MineDeleted,    // `mine` deleted it, `theirs` had changed it: deleted
        TheirsDeleted,  // `theirs` deleted it, `mine` had changed it: deleted
    };
    TKind Kind = BothChanged;
    std::int32_t Id = 0;
    int Field = 0;        // the record field (BothChanged): 0 parent, 2 type, 4 path, 5 alias
    std::string Taken;    // the value kept (BothChanged)
    std::string Other;    // the value that gave way (BothChanged), or the changed record
};

// What a save did besides writing the value.
struct TSaveReport {
    bool Changed = false;                 // the stored value was replaced by a different one
    bool Merged = false;                  // another writer had changed it since the load: merged
    bool StoredUnreadable = false;        // it could not be read: kept in the backup, not merged
    int Conflicts = 0;                    // changes of the other writer that gave way to this one's
    std::vector<TMergeClash> Clashes;     // each of them (this writer is `mine`)
    std::vector<std::string> BackupFiles; // backups written, oldest first
    std::string StoredBackup; // the backup of the value replaced, when one was written
    std::string OwnBackup;    // the backup of this writer's own changes, kept when some gave way
    std::string BackupError; // why a backup could not be written; empty when none failed
};

// The favorites collection: the item records and the id counter.
class TFavoriteItems {
public:
    TFavoriteItems();
    virtual ~TFavoriteItems();
    TFavoriteItems(const TFavoriteItems&) = delete;
    TFavoriteItems& operator=(const TFavoriteItems&) = delete;

    // Copies the source's records and LastID; the result lists and the loaded value (the
    // base of a later merge) are not copied.
    void Assign(const TFavoriteItems& source);

    // Adds one record under parentId, in front of the first child of a greater type;
    // returns its position.
    int AddItem(int itemType, int parentId, const std::string& path, const std::string& alias);
    // Adds the favorite or group an add request describes; for a group, parentId comes
    // back as the new group's id. Raises EAssertionFailed for a null or mistyped request.
    int AddItems(int& parentId, TStringList* request);
    // Moves the first record equal to `record` under parentId, keeping its id, type, path and
    // alias: placed and renumbered as AddItem places a new one (the old parent keeps its gap).
    // Returns the new position; raises EStringListError when the record is missing.
    int MoveItem(const std::string& record, int parentId);
    // Replaces the alias (RecordAlias) of the first record equal to `record`; returns the new
    // record.
    std::string ChangeAlias(const std::string& record, const std::string& alias);
    // Replaces the path of the first record equal to `record`; returns the new record.
    std::string ChangeFileName(const std::string& record, const std::string& path);
    std::string GetItem(int index) const;
    void SetItem(int index, const std::string& record);
    void SetItems(const TStringList& items);

    // The children of a group in position order (sorts the item list). The list is owned
    // by the collection and refilled by the next call.
    TStringList& GetSubItems(int parentId);
    // GetSubItems without the copy: a view of the item list itself (sorts it), valid until
    // the item list next changes.
    std::span<const std::string> SubItemsView(int parentId);
    // The group records among the children of a group (refills GetSubItems' list too).
    TStringList& GetSubGroups(int parentId);
    // Every record that is not a group, ordered by type code (sorts the item list).
    TStringList& GetOnlyItems();
    // True when the record is a group with at least one child.
    bool HasSubItems(const std::string& record) const;
    // The first record carrying the id (field 3), or nullptr; valid until the list changes.
    const std::string* FindItem(std::int32_t id) const;
    // Swaps the places (parent and position) of two records; both come back changed.
    void ExchangeItems(std::string& a, std::string& b);

    // The registry key of the stored value: "\Favorites".
    virtual std::string GetSection() const;
    // The full name of that key, for messages: "HKEY_CURRENT_USER\Favorites".
    std::string RegistryKeyName() const { return ::RegistryKeyName(GetSection()); }
    // Reads the collection from the registry value; a missing or empty value loads nothing.
    // The bytes read are kept as the base of the next save.
    void LoadFromReg();
    // Writes the collection to the registry value. When the value was changed by another
    // writer since it was loaded, writes the three-way merge of the loaded value, this
    // collection and the stored value instead, and this collection becomes that merge. A
    // value that is replaced by a different one is kept as a backup first; a failed backup is
    // reported, except that a stored value that cannot be read is never replaced without one
    // (ERegistryException).
    TSaveReport SaveToReg();
    // What FollowStoredValue found.
    enum class TFollow {
        Unchanged,  // the stored value is the one last loaded or saved
        Reloaded,   // it was changed by another writer, and the collection follows it now
        Unreadable, // it cannot be read: the collection is left as it is
    };
    // Follows a stored value that another writer changed: the collection becomes that value,
    // merged (as a save merges) with whatever of its own changes is not saved yet, and the
    // value becomes the base of the next save. Writes nothing and takes no lock.
    TFollow FollowStoredValue();
    // True when the records (in any order) or LastID differ from the stored value as last
    // loaded or saved, or the collection never met the registry.
    bool Unsaved() const;
    // The stored value as last loaded or saved (empty when it was missing); nullptr when the
    // collection never met the registry.
    const std::vector<std::uint8_t>* LoadedValue() const noexcept {
        return FLoaded ? &FLoadedValue : nullptr;
    }

    // Published properties.
    TStringList& Items() noexcept { return FItems; }
    const TStringList& Items() const noexcept { return FItems; }
    std::int32_t LastID() const noexcept { return FLastID; }
    void SetLastID(std::int32_t value) noexcept { FLastID = value; }

private:
    // First run of consecutive records of one parent in the sorted item list: [First, Last).
    struct TParentRun {
        std::int32_t Parent;
        int First;
        int Last;
    };
    // Sorts the item list and returns the run of parentId's children (empty when none).
    TParentRun FindChildren(std::int32_t parentId);
    // Renumbers parentId's children around the place a new item of itemType takes there;
    // returns that place.
    int MakeRoom(int itemType, int parentId);

    TStringList FItems;
    TStringList FOnlyItems;
    TStringList FSubGroups;
    TStringList FSubItems;
    std::int32_t FLastID = 0;
    // Index of FItems by parent, valid while FItems is at generation FRunsGeneration.
    std::vector<TParentRun> FRuns;
    std::uint64_t FRunsGeneration = 0;
    // The stored value this collection was loaded from or last saved as.
    bool FLoaded = false;
    std::vector<std::uint8_t> FLoadedValue;
};

// Finds records of an item list by id (field 3) while they are rewritten one by one: First
// answers as TStringList::IndexOf does (the first record equal to the text ignoring case), in
// time that grows with the records sharing the id instead of with the list. The list must not
// gain or lose records while the index is used; each record rewritten through Put must be
// announced through Replace.
class TItemIndex {
public:
    explicit TItemIndex(const TStringList& items);
    // Index of the first record equal to the text ignoring case, or -1.
    int First(std::string_view record) const;
    // The record at index is about to become `record`.
    void Replace(int index, std::string_view record);

private:
    struct TEntry {
        std::int32_t Id;
        int Index;
        auto operator<=>(const TEntry&) const = default;
    };
    const TStringList& FItems;
    std::vector<TEntry> FEntries; // by id, then index
};

// The collection as a component stream ("TPF0" ... ), byte for byte.
std::vector<std::uint8_t> WriteFavoriteStream(const TFavoriteItems& items);
// What a component stream holds, as views into its bytes: the records (when the stream has
// "Items.Strings") and LastID (when it has it).
struct TFavoriteStreamView {
    std::optional<std::vector<std::string_view>> Items;
    std::optional<std::int32_t> LastID;
};
// Checks and reads a component stream without copying its records; raises EReadError as
// ReadFavoriteStream does.
TFavoriteStreamView ViewFavoriteStream(std::span<const std::uint8_t> bytes);
// Reads a component stream into the collection. Raises EReadError with a clear message on
// any malformed input and then leaves the collection unchanged. A stream without
// "Items.Strings" keeps the item list as it was.
void ReadFavoriteStream(std::span<const std::uint8_t> bytes, TFavoriteItems& items);

// A memory stream that loads from and saves to a binary registry value.
class TRegistryStream : public TMemoryStream {
public:
    // Reads the value into the stream; false (stream unchanged) when missing or empty.
    bool LoadFromRegistry(const std::string& keyPath, const std::string& valueName);
    // Stores the stream's whole content as the binary value.
    void SaveToRegistry(const std::string& keyPath, const std::string& valueName);
};
