// What the favorites tool's source files share: errors, output, loading and saving the stored
// favorites, and the walk over the tree of groups.
#pragma once

#include "FavUtils.h"
#include "Paths.h"

#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

// A refusal or failure of the command: reported as one line, exit status 1 (2 for check).
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::vector<std::string>;

void WriteStdout(std::string_view text);
std::int32_t ParseInt(std::string_view text, const std::string& what);
void ExpectNoMore(const Args& args, std::size_t used, const std::string& command);
// True when the only arguments are "--json" (any other is refused).
bool JsonOption(const Args& args, const std::string& command);
// Takes "--name VALUE" or "--name=VALUE" at args[i]; true when it matched.
bool TakeOption(const Args& args, std::size_t& i, std::string_view name, std::string& value);
// The store's kind words, plus "Group" and "Type N" for the other codes.
std::string ListKindWord(int type);

// Loads the stored favorites; any error ends the command before anything is written.
void Load(TFavoriteItems& items);
// Stores the favorites a command changed.
void Save(TFavoriteItems& items);

// Standard output through a buffer: a long listing goes out in a few large writes. What
// is not flushed when it goes is dropped.
class TOutput {
public:
    TOutput() { FBuffer.reserve(Capacity); }
    TOutput(const TOutput&) = delete;
    TOutput& operator=(const TOutput&) = delete;
    TOutput& operator<<(std::string_view text) {
        FBuffer += text;
        if (FBuffer.size() >= Capacity)
            Flush();
        return *this;
    }
    void Flush() {
        WriteStdout(FBuffer);
        FBuffer.clear();
    }

private:
    static constexpr std::size_t Capacity = 1 << 16;
    std::string FBuffer;
};

// Whether favorites' files and folders exist.
class TExistence {
public:
    // For a file (types 0 to 3) or a folder (type 4); nothing for a group or an unknown type.
    std::optional<bool> Exists(int type, std::string_view path);
    bool Missing(int type, std::string_view path) { return Exists(type, path) == false; }

private:
    TPathProbe FProbe;
};

// One item of the tree, as the walk hands it over.
struct TTreeItem {
    int Type = 0;
    int Id = 0;
    int Parent = 0;
    std::string_view Path;
    std::string_view Alias;
};

// Calls enter(item) for every item under group `id`, depth first in position order; a group's
// members come between enter and leave(item) of the group. A group that broken records put
// inside itself is entered only once. Nothing may change the collection meanwhile.
template <class Enter, class Leave>
void WalkTree(TFavoriteItems& items, int id, Enter&& enter, Leave&& leave) {
    std::set<int> visited{id};
    const auto walk = [&](const auto& self, int group) -> void {
        const std::span<const std::string> children = items.SubItemsView(group);
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (i + PrefetchDistance < children.size())
                Prefetch(children[i + PrefetchDistance].data());
            const std::string& record = children[i];
            const std::array<std::string_view, 6> fields = RecordFields(record);
            TTreeItem item;
            item.Type = FieldInt(fields[2]);
            item.Id = FieldInt(fields[3]);
            item.Parent = group;
            item.Path = fields[4];
            item.Alias = fields[5];
            enter(item);
            if (item.Type == fitGroup && visited.insert(item.Id).second)
                self(self, item.Id);
            if (item.Type == fitGroup)
                leave(item);
        }
    };
    walk(walk, id);
}

// Commands and reports kept in files of their own.
int CmdRemove(const Args& args);
int CmdRename(const Args& args);
int CmdMove(const Args& args);
int CmdRelocate(const Args& args);
int CmdCheck(const Args& args);
// Writes the tree (ids, kinds, type codes, aliases, paths, existence) as a JSON document.
void WriteTreeJson(TFavoriteItems& items);

} // namespace tool
