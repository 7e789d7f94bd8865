#include "FavRecords.h"

#include <algorithm>
#include <unordered_map>

namespace favrecords {

TRecord::TRecord(std::string_view text) {
    std::size_t start = 0;
    int k = 0;
    for (; k < Fields - 1; ++k) {
        const std::size_t bar = text.find(Sep, start);
        if (bar == std::string_view::npos)
            break;
        FFields[static_cast<std::size_t>(k)] = text.substr(start, bar - start);
        start = bar + 1;
    }
    FFields[static_cast<std::size_t>(k)] = text.substr(start);
    FCount = k + 1;
    Parse();
}

void TRecord::Parse() {
    FParent = GetIntPart(FFields[0], 0, Sep);
    FPosition = GetIntPart(FFields[1], 0, Sep);
    FType = GetIntPart(FFields[2], 0, Sep);
    FId = GetIntPart(FFields[3], 0, Sep);
}

void TRecord::SetField(int k, std::string value) {
    FFields[static_cast<std::size_t>(k)] = std::move(value);
    FCount = std::max(FCount, k + 1);
    if (k < 4)
        Parse();
}

void TRecord::SetParent(std::int32_t parent) {
    SetField(0, IntToStrLen(parent, 9));
}

void TRecord::SetPosition(std::int32_t position) {
    SetField(1, IntToStrLen(position, 3));
}

std::string TRecord::Text() const {
    std::string text = FFields[0];
    for (int k = 1; k < FCount; ++k) {
        text += Sep;
        text += FFields[static_cast<std::size_t>(k)];
    }
    return text;
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
