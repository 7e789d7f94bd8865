// Keeping the favorites safe: the three-way merge of two writers' changes, the repair of a
// damaged stored value, and the backups kept before a stored value is replaced.
#pragma once

#include "FavUtils.h"
#include "RegFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// ---- Merge ---------------------------------------------------------------------------------

struct TMergeOutcome {
    int Conflicts = 0;        // a field both changed, or an item one changed and one deleted
    bool MineDropped = false; // a change of `mine` gave way to a deletion in `theirs`
    std::vector<TMergeClash> Clashes; // one per conflict, in id order
};

// Merges by item id what `mine` and `theirs` each changed since `base` into `into` (which may
// be `mine`). `mine` is the later writer: its value wins where both changed the same field,
// and its ids issued since the base move above both LastIDs when both sides issued ids. A
// deletion removes the item unless the other side put new members into that group.
// Positions within each parent are made unique keeping both sides' order.
TMergeOutcome MergeFavorites(const TFavoriteItems& base, const TFavoriteItems& mine,
                             const TFavoriteItems& theirs, TFavoriteItems& into);

// ---- Repair --------------------------------------------------------------------------------

struct TRepairOutcome {
    int Recovered = 0;     // records put into the repaired collection
    int Seen = 0;          // list entries that looked like records, recovered or not
    bool LastIDRead = false;
};

// Recovers every record that can still be read from a damaged stored value into `into`:
// list entries of either length tag whose text has the six fields of a record, numeric fields
// 0 to 3 and a type code 0 to 5. The first of duplicate ids wins; members whose group is gone
// move to the top level. LastID is the stored one when it can be read, never below the
// highest id.
TRepairOutcome RepairFavoriteStream(std::span<const std::uint8_t> bytes, TFavoriteItems& into);

// ---- Backups -------------------------------------------------------------------------------

inline constexpr std::size_t BackupsKept = 20;

// Where backups go: off Windows a "backups" folder beside the registry file, on Windows
// %LOCALAPPDATA%\Quarvel\backups; or the folder SetBackupFolder set.
std::string BackupFolder();
// Sets (or, with an empty path, clears) a process-wide override of BackupFolder().
void SetBackupFolder(const std::string& path);

struct TBackup {
    std::string File; // full path
    std::string Time; // when it was written: "2024-01-31 14:25:01.123 UTC"
};
// The backups in the folder, newest first.
std::vector<TBackup> ListBackups();
// Writes the value as a .reg file of the key (full name, "HKEY_CURRENT_USER\Favorites") into
// the backup folder, named by time and sorting after every earlier backup, then removes all
// but the newest BackupsKept. Returns the file; raises ERegistryException when it cannot be
// written.
std::string WriteBackup(const std::string& keyName, const TRegValue& value);
// The value a backup holds for the key; raises ERegistryException when it holds none.
TRegValue ReadBackup(const std::string& file, const std::string& keyName);

// Replaces the stored value under the key path (GetSection) with bytes, after keeping the
// value it replaces as a backup; raises ERegistryException, replacing nothing, when that
// backup cannot be written.
TSaveReport ReplaceStoredValue(const std::string& section, const std::vector<std::uint8_t>& bytes);
