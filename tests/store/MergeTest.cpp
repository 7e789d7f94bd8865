// The three-way merge of two writers' changes, on the collection's own operations.
#include "FavRecovery.h"
#include "FavTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using favtest::Edit;
using favtest::R;
using favtest::Sorted;

// Two top-level favorites, a group and its member; LastID 4.
const std::vector<std::string> Base = {
    R(0, 0, fitUnit, 1, "/p/a.pas", "a"),
    R(0, 1, fitFile, 2, "/p/b.txt", "b"),
    R(0, 2, fitGroup, 3, "", "G"),
    R(3, 0, fitUnit, 4, "/p/c.pas", "c"),
};

struct Outcome {
    std::vector<std::string> records;
    std::int32_t lastID;
    TMergeOutcome merge;
};

Outcome Merge(const std::vector<std::string>& base, int baseLastID, const Edit& mineEdit,
              const Edit& theirsEdit) {
    TFavoriteItems b, mine, theirs;
    favtest::Fill(b, base, baseLastID);
    mine.Assign(b);
    theirs.Assign(b);
    mineEdit(mine);
    theirsEdit(theirs);
    TFavoriteItems into;
    const TMergeOutcome outcome = MergeFavorites(b, mine, theirs, into);
    return {into.Items().Lines(), into.LastID(), outcome};
}

TEST(MergeFavorites, KeepsTheChangesOfBothWriters) {
    using namespace favtest;
    struct Case {
        const char* name;
        Edit mine, theirs; // mine saves last
        std::vector<std::string> merged;
        std::int32_t lastID;
        int conflicts;
        std::vector<std::string> base = Base;
        int baseLastID = 4;
    };
    const Case cases[] = {
        {"both add at the top level: the later writer's new id moves above both",
         Add(fitFile, 0, "/p/m.txt", "m"),
         Add(fitUnit, 0, "/p/t.pas", "t"),
         {Base[0], R(0, 1, fitUnit, 5, "/p/t.pas", "t"), R(0, 2, fitFile, 2, "/p/b.txt", "b"),
          R(0, 3, fitFile, 6, "/p/m.txt", "m"), R(0, 4, fitGroup, 3, "", "G"), Base[3]},
         6,
         0},
        {"a new group moves above both LastIDs with its members",
         AddGroup(0, "N", {"/p/x.pas"}),
         Add(fitFile, 0, "/p/t.txt", "t"),
         {Base[0], Base[1], R(0, 2, fitFile, 5, "/p/t.txt", "t"), R(0, 3, fitGroup, 3, "", "G"),
          R(0, 4, fitGroup, 7, "", "N"), Base[3], R(7, 0, fitUnit, 8, "/p/x.pas", "x.pas")},
         8,
         0},
        {"a rename on one side and a re-point on the other",
         Rename(1, "A"),
         Repoint(1, "/q/a.pas"),
         {R(0, 0, fitUnit, 1, "/q/a.pas", "A"), Base[1], Base[2], Base[3]},
         4,
         0},
        {"the same field changed on both sides takes the later writer's value",
         Rename(2, "mine"),
         Then(Rename(2, "theirs"), Repoint(4, "/q/c.pas")),
         {Base[0], R(0, 1, fitFile, 2, "/p/b.txt", "mine"), Base[2],
          R(3, 0, fitUnit, 4, "/q/c.pas", "c")},
         4,
         1},
        {"a deletion on one side removes the item",
         Rename(1, "A"),
         Remove(2),
         {R(0, 0, fitUnit, 1, "/p/a.pas", "A"), Base[2], Base[3]},
         4,
         0},
        {"a deletion wins over the later writer's rename", Rename(2, "B"), Remove(2),
         {Base[0], Base[2], Base[3]}, 4, 1},
        {"the later writer's deletion wins over a rename", Remove(2), Rename(2, "B"),
         {Base[0], Base[2], Base[3]}, 4, 1},
        {"a deleted group keeps the members the other side put into it",
         Then(Remove(4), Remove(3)),
         Add(fitUnit, 3, "/p/d.pas", "d"),
         {Base[0], Base[1], Base[2], R(3, 1, fitUnit, 5, "/p/d.pas", "d")},
         5,
         0},
        {"a reorder on one side and an add on the other",
         Add(fitUnit, 0, "/p/u.pas", "u"),
         Exchange(1, 2),
         {R(0, 0, fitFile, 2, "/p/b.txt", "b"), R(0, 1, fitUnit, 1, "/p/a.pas", "a"),
          R(0, 2, fitUnit, 5, "/p/u.pas", "u"), R(0, 3, fitGroup, 3, "", "G"), Base[3]},
         5,
         0},
        {"a move into a new group, a rename and an add on the other side",
         Then(AddGroup(0, "N", {}), Move(1, 5, 0)),
         Then(Rename(1, "A"), Add(fitFile, 0, "/p/t.txt", "t")),
         {R(6, 0, fitUnit, 1, "/p/a.pas", "A"), R(0, 0, fitFile, 2, "/p/b.txt", "b"),
          R(0, 1, fitFile, 5, "/p/t.txt", "t"), R(0, 2, fitGroup, 3, "", "G"),
          R(0, 3, fitGroup, 6, "", "N"), Base[3]},
         6,
         0},
        {"groups moved into each other: the later writer's move gives way",
         Move(1, 2, 0),
         Move(2, 1, 0),
         {R(0, 0, fitGroup, 1, "", "G1"), R(1, 0, fitGroup, 2, "", "G2")},
         2,
         0,
         {R(0, 0, fitGroup, 1, "", "G1"), R(0, 1, fitGroup, 2, "", "G2")},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Merge(c.base, c.baseLastID, c.mine, c.theirs);
        EXPECT_EQ(o.records, Sorted(c.merged));
        EXPECT_EQ(o.lastID, c.lastID);
        EXPECT_EQ(o.merge.Conflicts, c.conflicts);

        // A side that changed nothing changes nothing: the other side comes out as it is.
        const Edit none = [](TFavoriteItems&) {};
        for (const bool mineOnly : {true, false}) {
            TFavoriteItems alone;
            favtest::Fill(alone, c.base, c.baseLastID);
            (mineOnly ? c.mine : c.theirs)(alone);
            const Outcome one = mineOnly ? Merge(c.base, c.baseLastID, c.mine, none)
                                         : Merge(c.base, c.baseLastID, none, c.theirs);
            EXPECT_EQ(one.records, Sorted(alone.Items().Lines())) << "only " << mineOnly;
            EXPECT_EQ(one.lastID, alone.LastID());
            EXPECT_EQ(one.merge.Conflicts, 0);
        }
    }
}

TEST(MergeFavorites, RecordsOutsideTheLayoutSurvive) {
    // Repeated ids, a non-numeric id and a record with a '|' in its alias.
    const std::vector<std::string> base = {"000000000|000|3|7|/p/x|one", "000000000|001|3|7|/p/y|two",
                                           "junk", "000000000|002|3|8|/p/z|a|b"};
    const favtest::Edit realias = [](TFavoriteItems& items) {
        items.SetItem(items.Items().IndexOf("000000000|002|3|8|/p/z|a|b"),
                      "000000000|002|3|8|/p/z|c|d");
    };
    const Outcome o = Merge(base, 8, realias, favtest::Remove(7));
    // Their order among well-formed records is free; their content is not.
    EXPECT_EQ(Sorted(o.records),
              Sorted({"000000000|001|3|7|/p/y|two", "junk", "000000000|002|3|8|/p/z|c|d"}));
    EXPECT_EQ(o.lastID, 8);
}

} // namespace
