// The Edit dialog's everyday changes for scripts (remove, rename, move), with the dialogs'
// refusals, and relocate, which re-points the favorites below one folder.
#include "FavConsts.h"
#include "Paths.h"
#include "Tool.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace tool {

namespace {

std::string Describe(std::string_view record) {
    const std::array<std::string_view, 6> fields = RecordFields(record);
    return ListKindWord(FieldInt(fields[2])) + " \"" + std::string(fields[5]) + "\" (id " +
           std::to_string(FieldInt(fields[3])) + ")";
}

// The first record carrying the id; the top level (id 0) has no record.
std::string FindRecord(const TFavoriteItems& items, int id, const std::string& command) {
    if (const std::string* record = id != 0 ? items.FindItem(id) : nullptr)
        return *record;
    throw ToolError(command + ": there is no favorite or group with id " + std::to_string(id));
}

// The id given as the command's argument.
int TakeId(const Args& args, std::size_t i, const std::string& command) {
    if (i >= args.size())
        throw ToolError(command + ": missing ID");
    return ParseInt(args[i], "ID");
}

void CheckOneLine(std::string_view text, const std::string& command, const std::string& what) {
    if (text.find('|') != std::string_view::npos)
        throw ToolError(command + ": the " + what + " must not contain '|'");
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw ToolError(command + ": the " + what + " must be on one line");
}

// True when `group` is `id` or lies inside it, following the parents up to the top level.
bool IsInside(const TFavoriteItems& items, int group, int id) {
    std::set<int> seen;
    while (group != 0 && seen.insert(group).second) {
        if (group == id)
            return true;
        const std::string* record = items.FindItem(group);
        if (!record)
            return false; // a broken chain ends nowhere near `id`
        group = GetIntPart(*record, 0, '|');
    }
    return false;
}

// Favorites hold full paths, so a folder named relative to the current one is made full; one
// with a leading separator or a drive is taken as it is, on any platform, since values move
// between Windows and here.
std::string FullFolder(const std::string& folder, const std::string& name) {
    if (folder.empty())
        throw ToolError("relocate: " + name + " must name a folder");
    std::string full = folder;
    if (folder.find_first_of("/\\") != 0 && !HasWindowsForm(folder)) {
        std::error_code ec;
        full = std::filesystem::absolute(folder, ec).lexically_normal().string();
        if (ec)
            throw ToolError("relocate: cannot make \"" + folder +
                            "\" a full path: " + ec.message());
    }
    CheckOneLine(full, "relocate", "folder " + name);
    return full;
}

} // namespace

int CmdRemove(const Args& args) {
    const int id = TakeId(args, 0, "remove");
    ExpectNoMore(args, 1, "remove");
    TFavoriteItems items;
    Load(items);
    const std::string record = FindRecord(items, id, "remove");
    if (items.HasSubItems(record))
        throw ToolError("remove: " + std::string(sHasSubItems));
    // As the Edit dialog deletes: the other children keep their positions.
    items.Items().Delete(items.Items().IndexOf(record));
    Save(items);
    WriteStdout("Removed " + Describe(record) + "\n");
    return 0;
}

int CmdRename(const Args& args) {
    const int id = TakeId(args, 0, "rename");
    if (args.size() < 2)
        throw ToolError("rename: missing ALIAS");
    ExpectNoMore(args, 2, "rename");
    const std::string& alias = args[1];
    CheckOneLine(alias, "rename", "alias");
    TFavoriteItems items;
    Load(items);
    const std::string record = FindRecord(items, id, "rename");
    items.ChangeAlias(record, alias);
    Save(items);
    WriteStdout("Renamed " + Describe(record) + " to \"" + alias + "\"\n");
    return 0;
}

int CmdMove(const Args& args) {
    std::optional<int> id;
    std::string parentText;
    bool haveParent = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (TakeOption(args, i, "--parent", parentText)) {
            haveParent = true;
        } else if (!id && !(args[i].size() > 1 && args[i][0] == '-' && args[i][1] == '-')) {
            id = TakeId(args, i, "move");
        } else {
            throw ToolError("move: unexpected argument \"" + args[i] + "\"");
        }
    }
    if (!id)
        throw ToolError("move: missing ID");
    if (!haveParent)
        throw ToolError("move: missing --parent GROUP");
    const int parent = ParseInt(parentText, "--parent");

    TFavoriteItems items;
    Load(items);
    const std::string record = FindRecord(items, *id, "move");
    if (parent != 0 && GetIntPart(FindRecord(items, parent, "move"), 2, '|') != fitGroup)
        throw ToolError("move: there is no group with id " + std::to_string(parent));
    if (GetIntPart(record, 2, '|') == fitGroup && IsInside(items, parent, *id))
        throw ToolError("move: a group cannot move into itself or one of its own members");
    const int position = items.MoveItem(record, parent);
    Save(items);
    WriteStdout("Moved " + Describe(record) + " to group " + std::to_string(parent) +
                ", position " + std::to_string(position) + "\n");
    return 0;
}

int CmdRelocate(const Args& args) {
    std::vector<std::string> folders;
    bool dryRun = false;
    for (const std::string& arg : args) {
        if (arg == "--dry-run")
            dryRun = true;
        else if (arg.size() > 2 && arg.rfind("--", 0) == 0)
            throw ToolError("relocate: unknown option \"" + arg + "\"");
        else if (folders.size() < 2)
            folders.push_back(arg);
        else
            throw ToolError("relocate: unexpected argument \"" + arg + "\"");
    }
    if (folders.size() < 2)
        throw ToolError("relocate: needs the folders OLD and NEW");
    const std::string from = FullFolder(folders[0], "OLD");
    const std::string to = FullFolder(folders[1], "NEW");

    TFavoriteItems items;
    Load(items);
    TExistence existence;
    std::string report; // written once the change is saved
    int moved = 0, present = 0;
    for (int i = 0; i < items.Items().Count(); ++i) {
        const std::string& record = items.Items()[i];
        const std::array<std::string_view, 6> fields = RecordFields(record);
        const int type = FieldInt(fields[2]);
        if (type == fitGroup)
            continue;
        const std::string_view path = fields[4];
        const std::optional<std::string> target = RelocatePath(path, from, to);
        if (!target || *target == path)
            continue;
        ++moved;
        if (existence.Exists(type, *target).value_or(false))
            ++present;
        report += ListKindWord(type) + " \"" + std::string(fields[5]) + "\": " + std::string(path) +
                  " -> " + *target + "\n";
        items.SetItem(i, RecordWithPath(record, *target));
    }
    if (moved > 0 && !dryRun)
        Save(items);
    report += (dryRun ? "Would re-point " : "Re-pointed ") + std::to_string(moved) +
              (moved == 1 ? " favorite; " : " favorites; ") + std::to_string(present) +
              (present == 1 ? " of them exists on disk." : " of them exist on disk.") +
              (dryRun ? " Nothing saved (--dry-run).\n" : "\n");
    WriteStdout(report);
    return 0;
}

} // namespace tool
