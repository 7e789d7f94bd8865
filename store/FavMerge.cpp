// Three-way merge of favorites collections by item id.
#include "FavRecords.h"
#include "FavRecovery.h"

#include "Exception.h"

#include <algorithm>
#include <limits>
#include <list>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

using favrecords::TRecord;

namespace {

// An item is its id and, for the rare repeated id, which occurrence of it.
using TKey = std::uint64_t;

TKey KeyOf(std::int32_t id, std::uint32_t occurrence) {
    return (std::uint64_t{static_cast<std::uint32_t>(id)} << 32) | occurrence;
}

// One writer's records, found by key.
struct TSide {
    std::vector<TRecord> Records;
    std::vector<TKey> Keys;
    std::unordered_map<TKey, std::size_t> Index;
    std::unordered_set<std::int32_t> Ids;
    // The indices of each parent's children, in position order.
    std::unordered_map<std::int32_t, std::vector<std::size_t>> Children;

    explicit TSide(const TStringList& items) {
        Records.reserve(static_cast<std::size_t>(items.Count()));
        for (const std::string& line : items)
            Records.emplace_back(line);
        Reindex();
    }
    void Reindex() {
        Keys.clear();
        Index.clear();
        Ids.clear();
        Children.clear();
        std::unordered_map<std::int32_t, std::uint32_t> seen;
        for (std::size_t i = 0; i < Records.size(); ++i) {
            const std::int32_t id = Records[i].Id();
            Keys.push_back(KeyOf(id, seen[id]++));
            Index.emplace(Keys.back(), i);
            Ids.insert(id);
            Children[Records[i].Parent()].push_back(i);
        }
        for (auto& [parent, children] : Children)
            std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) {
                return Records[a].Position() < Records[b].Position();
            });
    }
    const TRecord* Find(TKey key) const {
        const auto it = Index.find(key);
        return it == Index.end() ? nullptr : &Records[it->second];
    }
    std::int32_t MaxId() const {
        std::int32_t top = 0;
        for (const TRecord& r : Records)
            top = std::max(top, r.Id());
        return top;
    }
};

// Gives mine's new ids fresh numbers above every id and LastID of both sides, when theirs
// issued ids too; returns the merged LastID.
std::int32_t SeparateNewIds(const TSide& base, TSide& mine, const TSide& theirs,
                            std::int32_t baseLastID, std::int32_t mineLastID,
                            std::int32_t theirsLastID) {
    const std::int32_t lastID = std::max(mineLastID, theirsLastID);
    const bool theirsAdded = std::any_of(theirs.Keys.begin(), theirs.Keys.end(),
                                         [&](TKey k) { return !base.Index.count(k); });
    std::vector<std::int32_t> fresh;
    for (std::size_t i = 0; i < mine.Records.size(); ++i)
        if (!base.Index.count(mine.Keys[i]) && !base.Ids.count(mine.Records[i].Id()))
            fresh.push_back(mine.Records[i].Id());
    if (!theirsAdded || fresh.empty())
        return lastID;
    std::sort(fresh.begin(), fresh.end());
    fresh.erase(std::unique(fresh.begin(), fresh.end()), fresh.end());

    const std::int64_t top =
        std::max({std::int64_t{lastID}, std::int64_t{baseLastID}, std::int64_t{mine.MaxId()},
                  std::int64_t{theirs.MaxId()}});
    if (top + static_cast<std::int64_t>(fresh.size()) > std::numeric_limits<std::int32_t>::max())
        throw Exception("No item ids are left to merge the favorites with");
    std::unordered_map<std::int32_t, std::int32_t> moved;
    for (std::size_t k = 0; k < fresh.size(); ++k)
        moved.emplace(fresh[k], static_cast<std::int32_t>(top + 1 + static_cast<std::int64_t>(k)));
    for (std::size_t i = 0; i < mine.Records.size(); ++i) {
        TRecord& r = mine.Records[i];
        if (const auto up = moved.find(r.Parent()); up != moved.end())
            r.SetParent(up->second);
        if (!base.Index.count(mine.Keys[i]))
            if (const auto id = moved.find(r.Id()); id != moved.end())
                r.SetField(3, std::to_string(id->second));
    }
    mine.Reindex();
    return static_cast<std::int32_t>(top + static_cast<std::int64_t>(fresh.size()));
}

// A record of the merge and where its parent came from.
struct TMerged {
    TMerged(TKey key, TRecord record) : Key(key), Record(std::move(record)) {}
    TKey Key;
    TRecord Record;
    bool ParentFromMine = false; // its parent is a move made in mine
    bool ParentMoved = false;    // its parent differs from the base
};

// The merged indices of a side's children of parent, in that side's order: those that the
// merge also put under parent.
std::vector<std::size_t> SideOrder(const TSide& side, std::int32_t parent,
                                   const std::unordered_map<TKey, std::size_t>& merged,
                                   const std::vector<TRecord>& records) {
    std::vector<std::size_t> order;
    const auto children = side.Children.find(parent);
    if (children == side.Children.end())
        return order;
    for (const std::size_t i : children->second)
        if (const auto at = merged.find(side.Keys[i]);
            at != merged.end() && records[at->second].Parent() == parent)
            order.push_back(at->second);
    return order;
}

// True when the side put items it shares with the base into another order.
bool Reordered(const std::vector<std::size_t>& side, const std::vector<std::size_t>& base) {
    const std::unordered_set<std::size_t> inSide(side.begin(), side.end());
    const std::unordered_set<std::size_t> inBase(base.begin(), base.end());
    std::vector<std::size_t> a, b;
    for (const std::size_t i : side)
        if (inBase.count(i))
            a.push_back(i);
    for (const std::size_t i : base)
        if (inSide.count(i))
            b.push_back(i);
    return a != b;
}

// One parent's children in merged order: the order of the side that reordered them (mine's
// when both or neither did), the other side's further items each after its predecessor
// there, then any child neither side had there (a revived or rescued group).
std::vector<std::size_t> MergeOrder(const std::vector<std::size_t>& children,
                                    const std::vector<std::size_t>& mine,
                                    const std::vector<std::size_t>& theirs,
                                    const std::vector<std::size_t>& base,
                                    const std::vector<TRecord>& records) {
    const bool takeTheirs = Reordered(theirs, base) && !Reordered(mine, base);
    const std::vector<std::size_t>& primary = takeTheirs ? theirs : mine;
    const std::vector<std::size_t>& other = takeTheirs ? mine : theirs;
    std::list<std::size_t> order(primary.begin(), primary.end());
    std::unordered_map<std::size_t, std::list<std::size_t>::iterator> where;
    for (auto it = order.begin(); it != order.end(); ++it)
        where.emplace(*it, it);
    auto next = order.begin();
    for (const std::size_t i : other) {
        if (const auto at = where.find(i); at != where.end())
            next = std::next(at->second);
        else
            where.emplace(i, order.insert(next, i));
    }
    std::vector<std::size_t> rest;
    for (const std::size_t i : children)
        if (!where.count(i))
            rest.push_back(i);
    std::stable_sort(rest.begin(), rest.end(), [&](std::size_t a, std::size_t b) {
        return records[a].Position() < records[b].Position();
    });
    std::vector<std::size_t> result(order.begin(), order.end());
    result.insert(result.end(), rest.begin(), rest.end());
    return result;
}

} // namespace

TMergeOutcome MergeFavorites(const TFavoriteItems& base, const TFavoriteItems& mine,
                             const TFavoriteItems& theirs, TFavoriteItems& into) {
    const TSide b(base.Items());
    TSide m(mine.Items());
    const TSide t(theirs.Items());
    const std::int32_t lastID =
        SeparateNewIds(b, m, t, base.LastID(), mine.LastID(), theirs.LastID());

    TMergeOutcome outcome;
    std::vector<TMerged> live;
    // The surviving side's record of each item one side deleted.
    std::vector<std::pair<TKey, TRecord>> deleted;
    // Mine's items, in mine's order, then theirs' new ones.
    for (std::size_t i = 0; i < m.Records.size(); ++i) {
        const TRecord& mr = m.Records[i];
        const TRecord* br = b.Find(m.Keys[i]);
        const TRecord* tr = t.Find(m.Keys[i]);
        if (!br) { // new in mine
            TMerged merged(m.Keys[i], mr);
            merged.ParentFromMine = merged.ParentMoved = true;
            live.push_back(std::move(merged));
            // New ids were told apart; only a repeated id can still meet a new one of theirs.
            if (tr && tr->Text() != mr.Text()) {
                TMerged other(m.Keys[i], *tr);
                other.ParentMoved = true;
                live.push_back(std::move(other));
            }
            continue;
        }
        if (!tr) { // theirs deleted it
            if (mr != *br) {
                ++outcome.Conflicts;
                outcome.MineDropped = true;
            }
            deleted.emplace_back(m.Keys[i], mr);
            continue;
        }
        TRecord record = mr;
        bool fromMine = true, fromTheirs = true;
        for (int k = 0; k < TRecord::Fields; ++k) {
            const std::string& bf = br->Field(k);
            const std::string& mf = mr.Field(k);
            const std::string& tf = tr->Field(k);
            if (mf == bf && tf != bf) {
                record.SetField(k, tf);
                fromMine = false;
            } else if (mf != tf) {
                fromTheirs = false;
                // Positions only carry the order, which is merged on its own below.
                if (mf != bf && tf != bf && k != 1)
                    ++outcome.Conflicts;
            }
        }
        TMerged merged(m.Keys[i], fromMine ? mr : fromTheirs ? *tr : record);
        merged.ParentMoved = merged.Record.Field(0) != br->Field(0);
        merged.ParentFromMine = merged.ParentMoved && mr.Field(0) != br->Field(0);
        live.push_back(std::move(merged));
    }
    for (std::size_t i = 0; i < t.Records.size(); ++i) {
        if (m.Index.count(t.Keys[i]))
            continue;
        const TRecord& tr = t.Records[i];
        const TRecord* br = b.Find(t.Keys[i]);
        if (!br) {
            TMerged merged(t.Keys[i], tr);
            merged.ParentMoved = true;
            live.push_back(std::move(merged));
            continue;
        }
        // Mine deleted it; theirs' change, if any, stays in the backup of theirs.
        if (tr != *br)
            ++outcome.Conflicts;
        deleted.emplace_back(t.Keys[i], tr);
    }

    // A deleted group that still has members (new ones, put there by the other side) stays,
    // and with it the groups above it.
    std::unordered_set<std::int32_t> parents;
    for (const TMerged& merged : live)
        parents.insert(merged.Record.Parent());
    std::vector<bool> revived(deleted.size(), false);
    for (bool again = true; again;) {
        again = false;
        for (std::size_t i = 0; i < deleted.size(); ++i) {
            const auto& [key, record] = deleted[i];
            if (revived[i] || record.Type() != fitGroup || record.Id() == 0 ||
                !parents.count(record.Id()))
                continue;
            parents.insert(record.Parent());
            live.emplace_back(key, record);
            revived[i] = again = true;
        }
    }

    std::vector<TRecord> records;
    records.reserve(live.size());
    for (const TMerged& merged : live)
        records.push_back(merged.Record);
    // Moves on both sides can make two groups each other's parent; one that mine moved (or
    // else any moved one) goes to the top level so that neither is lost. Loops already in
    // the base stay as they were.
    favrecords::BreakParentLoops(records, [&](const std::vector<std::size_t>& loop) {
        std::size_t chosen = records.size();
        for (const std::size_t i : loop) {
            if (live[i].ParentFromMine)
                return i;
            if (live[i].ParentMoved && chosen == records.size())
                chosen = i;
        }
        return chosen;
    });
    std::unordered_map<TKey, std::size_t> merged;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> byParent;
    for (std::size_t i = 0; i < records.size(); ++i) {
        merged.emplace(live[i].Key, i);
        byParent[records[i].Parent()].push_back(i);
    }
    for (const auto& [parent, children] : byParent)
        favrecords::Renumber(records,
                             MergeOrder(children, SideOrder(m, parent, merged, records),
                                        SideOrder(t, parent, merged, records),
                                        SideOrder(b, parent, merged, records), records));

    std::vector<std::string> lines;
    lines.reserve(records.size());
    for (const TRecord& record : records)
        lines.push_back(record.Text());
    TStringList result(std::move(lines));
    result.Sort();
    into.SetItems(result);
    into.SetLastID(lastID);
    return outcome;
}
