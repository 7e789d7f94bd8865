#include "FavRecords.h"

#include <algorithm>
#include <unordered_map>

namespace favrecords {

TRecord& TRecord::operator=(const TRecord& other) {
    if (this != &other)
        Take(other, other.FOwned);
    return *this;
}

TRecord& TRecord::operator=(TRecord&& other) noexcept {
    if (this != &other)
        Take(other, std::move(other.FOwned));
    return *this;
}

void TRecord::Take(const TRecord& other, std::string owned) noexcept {
    FOwned = std::move(owned);
    FIsOwned = other.FIsOwned;
    FText = FIsOwned ? std::string_view(FOwned) : other.FText;
    FParsed = other.FParsed;
}

void TRecord::Parse() {
    TParsed& p = FParsed;
    p.Count = 1;
    p.Start[0] = 0;
    for (std::size_t bar = FText.find(Sep); bar != std::string_view::npos && p.Count < Fields;
         bar = FText.find(Sep, bar + 1))
        p.Start[static_cast<std::size_t>(p.Count++)] = static_cast<std::uint32_t>(bar + 1);
    p.Parent = FieldInt(Field(0));
    p.Position = FieldInt(Field(1));
    p.Type = FieldInt(Field(2));
    p.Id = FieldInt(Field(3));
}

void TRecord::SetField(int k, std::string_view value) {
    std::string text;
    text.reserve(FText.size() + value.size());
    for (int f = 0; f < std::max(Count(), k + 1); ++f) {
        if (f > 0)
            text += Sep;
        text += f == k ? value : Field(f);
    }
    FOwned = std::move(text);
    FText = FOwned;
    FIsOwned = true;
    Parse();
}

void TRecord::SetParent(std::int32_t parent) {
    SetField(0, IntToStrLen(parent, 9));
}

void TRecord::SetPosition(std::int32_t position) {
    SetField(1, IntToStrLen(position, 3));
}

void Renumber(std::vector<TRecord>& records, const std::vector<std::size_t>& all) {
    // A record without a position field keeps its text.
    std::vector<std::size_t> order;
    for (const std::size_t i : all)
        if (records[i].Count() > 1)
            order.push_back(i);
    bool increasing = true;
    for (std::size_t k = 1; k < order.size() && increasing; ++k)
        increasing = records[order[k - 1]].Position() < records[order[k]].Position();
    if (increasing)
        return;
    for (std::size_t k = 0; k < order.size(); ++k)
        if (records[order[k]].Position() != static_cast<std::int32_t>(k))
            records[order[k]].SetPosition(static_cast<std::int32_t>(k));
}

void MakePositionsUnique(std::vector<TRecord>& records,
                         const std::function<bool(std::size_t, std::size_t)>& before) {
    std::unordered_map<std::int32_t, std::vector<std::size_t>> byParent;
    for (std::size_t i = 0; i < records.size(); ++i)
        byParent[records[i].Parent()].push_back(i);
    for (auto& [parent, children] : byParent) {
        std::sort(children.begin(), children.end(), before);
        Renumber(records, children);
    }
}

void BreakParentLoops(std::vector<TRecord>& records,
                      const std::function<std::size_t(const std::vector<std::size_t>&)>& pick) {
    // The first group record of each id is the one its members belong to.
    std::unordered_map<std::int32_t, std::size_t> groups;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].Type() == fitGroup)
            groups.emplace(records[i].Id(), i);
    enum : char { Unseen, OnPath, Done };
    std::vector<char> state(records.size(), Unseen);
    std::vector<std::size_t> path;
    for (std::size_t first = 0; first < records.size(); ++first) {
        if (records[first].Type() != fitGroup || groups[records[first].Id()] != first)
            continue;
        path.clear();
        std::size_t at = first;
        bool loop = false;
        while (state[at] == Unseen) {
            state[at] = OnPath;
            path.push_back(at);
            const std::int32_t parent = records[at].Parent();
            const auto up = groups.find(parent);
            if (parent == 0 || up == groups.end())
                break;
            at = up->second;
            loop = state[at] == OnPath;
        }
        if (loop) {
            const std::vector<std::size_t> members(std::find(path.begin(), path.end(), at),
                                                   path.end());
            const std::size_t chosen = pick(members);
            if (chosen < records.size())
                records[chosen].SetParent(0);
        }
        for (const std::size_t i : path)
            state[i] = Done;
    }
}

} // namespace favrecords
