// Reports over the tree: the JSON form of list, and check, which names the favorites whose
// file or folder is missing.
#include "FavConsts.h"
#include "Paths.h"
#include "Tool.h"
#include "Utf8.h"

#include <nlohmann/json.hpp>

namespace tool {

namespace {

using Json = nlohmann::ordered_json;

// JSON strings are UTF-8; records written on Windows hold 8-bit text.
std::string Text(std::string_view bytes) {
    return Utf8FromBytes(bytes);
}

Json ItemJson(const TTreeItem& item) {
    Json json;
    json["id"] = item.Id;
    json["kind"] = ListKindWord(item.Type);
    json["type"] = item.Type;
    json["alias"] = Text(item.Alias);
    json["path"] = Text(item.Path);
    return json;
}

void WriteJson(const Json& json) {
    TOutput out;
    out << json.dump(2) << "\n";
    out.Flush();
}

} // namespace

std::optional<bool> TExistence::Exists(int type, std::string_view path) {
    if (type == fitFolder)
        return FProbe.DirectoryExists(std::string(path));
    if (type >= fitProject && type <= fitFile)
        return FProbe.FileExists(std::string(path));
    return std::nullopt;
}

void WriteTreeJson(TFavoriteItems& items) {
    TExistence existence;
    Json root;
    root["lastId"] = items.LastID();
    root["children"] = Json::array();
    // The children arrays of the groups being filled, innermost last.
    std::vector<Json*> open{&root["children"]};
    WalkTree(
        items, 0,
        [&](const TTreeItem& item) {
            Json& added = open.back()->emplace_back(ItemJson(item));
            if (const std::optional<bool> exists = existence.Exists(item.Type, item.Path))
                added["exists"] = *exists;
            if (item.Type == fitGroup)
                open.push_back(&(added["children"] = Json::array()));
        },
        [&](const TTreeItem&) { open.pop_back(); });
    WriteJson(root);
}

int CmdCheck(const Args& args) {
    const bool json = JsonOption(args, "check");
    TFavoriteItems items;
    Load(items);
    TExistence existence;
    // The aliases from the top level down to the group being walked.
    std::vector<std::string_view> groups{RecordFields(RootRecord)[5]};
    Json missing = Json::array();
    std::string text;
    WalkTree(
        items, 0,
        [&](const TTreeItem& item) {
            if (item.Type == fitGroup) {
                groups.push_back(item.Alias);
                return;
            }
            if (!existence.Missing(item.Type, item.Path))
                return;
            if (json) {
                Json entry = ItemJson(item);
                entry["parent"] = item.Parent;
                Json& path = entry["group"] = Json::array();
                for (const std::string_view group : groups)
                    path.push_back(Text(group));
                missing.push_back(std::move(entry));
                return;
            }
            for (std::size_t i = 0; i < groups.size(); ++i)
                (text += i ? "/" : "") += groups[i];
            text += ": " + ListKindWord(item.Type) + " \"" + std::string(item.Alias) + "\" " +
                    std::string(item.Path) + "\n";
        },
        [&](const TTreeItem&) { groups.pop_back(); });
    const bool some = !missing.empty() || !text.empty();
    if (json) {
        Json document;
        document["missing"] = std::move(missing);
        WriteJson(document);
    } else {
        WriteStdout(text);
    }
    return some ? 1 : 0;
}

} // namespace tool
