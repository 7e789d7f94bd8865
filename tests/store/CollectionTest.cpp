#include "Exception.h"
#include "FavUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

namespace {

std::string Rec(int parent, int pos, int type, int id, const std::string& path = "",
                const std::string& alias = "a") {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(pos, 3) + "|" + std::to_string(type) + "|" +
           std::to_string(id) + "|" + path + "|" + alias;
}

std::vector<std::string> Lines(const TStringList& list) {
    return list.Lines();
}

// A collection holding the given records, in the given order.
void Fill(TFavoriteItems& items, std::vector<std::string> records, int lastID) {
    items.SetItems(TStringList(std::move(records)));
    items.SetLastID(lastID);
}

TEST(AddItem, PlacesByTypeAndRenumbersChildren) {
    struct Case {
        const char* name;
        std::vector<int> childTypes;
        int newType;
        int expectedResult;
        std::vector<int> expectedChildPositions;
    };
    const Case cases[] = {
        {"empty group", {}, 2, 0, {}},
        {"before the group child", {0, 2, 2, 5}, 2, 3, {0, 1, 2, 4}},
        {"in front of all", {2, 5}, 0, 0, {1, 2}},
        {"after all", {0, 1}, 3, 2, {0, 1}},
        {"out of type order share a position", {3, 0}, 1, 0, {1, 1}},
        {"greater than every known type", {5, 5}, 7, 2, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFavoriteItems items;
        std::vector<std::string> records = {Rec(0, 0, 5, 1, "", "G"), Rec(2, 0, 2, 50)};
        for (std::size_t i = 0; i < c.childTypes.size(); ++i)
            records.push_back(Rec(1, static_cast<int>(i), c.childTypes[i], 10 + static_cast<int>(i),
                                  "p" + std::to_string(i)));
        std::reverse(records.begin(), records.end());
        Fill(items, records, 60);

        EXPECT_EQ(items.AddItem(c.newType, 1, "/x/new.pas", "New"), c.expectedResult);
        EXPECT_EQ(items.LastID(), 61);
        EXPECT_EQ(items.Items().Lines().back(),
                  Rec(1, c.expectedResult, c.newType, 61, "/x/new.pas", "New"));
        for (std::size_t i = 0; i < c.childTypes.size(); ++i) {
            // Only the position changes; the child keeps its place in the sorted list.
            const std::string expected = Rec(1, c.expectedChildPositions[i], c.childTypes[i],
                                             10 + static_cast<int>(i), "p" + std::to_string(i));
            EXPECT_EQ(items.GetItem(1 + static_cast<int>(i)), expected);
        }
        EXPECT_EQ(items.Items().Count(), static_cast<int>(c.childTypes.size()) + 3);
    }
}

TEST(AddItems, RejectsBrokenRequestsBeforeAdding) {
    struct Case {
        const char* name;
        std::vector<std::string> request;
        std::string assertion; // empty: an index error is expected
        int index;
    };
    const Case cases[] = {
        {"empty type", {"", "a", "p"}, "Error in adding items (ItemType Error)", 0},
        {"non-numeric type", {"x", "a", "p"}, "Error in adding items (ItemType Error)", 0},
        {"type -1", {"-1", "a", "p"}, "Error in adding items (ItemType Error)", 0},
        {"no lines", {}, "", 0},
        {"no alias", {"3"}, "", 1},
        {"file without path", {"3", "a"}, "", 2},
        {"group without alias", {"5"}, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFavoriteItems items;
        Fill(items, {Rec(0, 0, 2, 1)}, 1);
        TStringList request{std::vector<std::string>(c.request)};
        int parent = 0;
        if (c.assertion.empty()) {
            try {
                items.AddItems(parent, &request);
                ADD_FAILURE() << "no error";
            } catch (const EStringListError& e) {
                EXPECT_EQ(e.Index(), c.index);
            }
        } else {
            try {
                items.AddItems(parent, &request);
                ADD_FAILURE() << "no assertion";
            } catch (const EAssertionFailed& e) {
                EXPECT_EQ(e.AssertMessage(), c.assertion);
                EXPECT_EQ(e.UnitName(), "FavUtils");
            }
        }
        EXPECT_EQ(Lines(items.Items()), std::vector<std::string>{Rec(0, 0, 2, 1)});
        EXPECT_EQ(items.LastID(), 1);
    }
    TFavoriteItems items;
    int parent = 0;
    try {
        items.AddItems(parent, nullptr);
        ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.AssertMessage(), "Error in adding items (ItemsError)");
    }
}

TEST(AddItems, AddsSingleItemAndKeepsRequest) {
    TFavoriteItems items;
    Fill(items, {Rec(4, 0, 5, 4, "", "G")}, 9);
    TStringList request{"7", "Odd", "/x/odd"};
    int parent = 4;
    EXPECT_EQ(items.AddItems(parent, &request), 1);
    EXPECT_EQ(parent, 4);
    EXPECT_EQ(Lines(request), (std::vector<std::string>{"7", "Odd", "/x/odd"}));
    EXPECT_EQ(items.GetItem(1), Rec(4, 1, 7, 10, "/x/odd", "Odd"));
}

TEST(AddItems, GroupGetsSortedMembers) {
    TFavoriteItems items;
    Fill(items, {Rec(0, 0, 4, 1, "/f", "Folder")}, 3);
    TStringList request{"5", "Grp", "/p/Unit1.pas", "C:\\p\\Proj.dpr", "/p/notes.txt"};
    int parent = 0;
    EXPECT_EQ(items.AddItems(parent, &request), 1);
    EXPECT_EQ(parent, 4);
    EXPECT_EQ(items.LastID(), 7);
    EXPECT_EQ(Lines(request),
              (std::vector<std::string>{"0|C:\\p\\Proj.dpr", "2|/p/Unit1.pas", "3|/p/notes.txt"}));
    EXPECT_EQ(Lines(items.GetSubItems(4)),
              (std::vector<std::string>{"000000004|000|0|5|C:\\p\\Proj.dpr|Proj.dpr",
                                        "000000004|001|2|6|/p/Unit1.pas|Unit1.pas",
                                        "000000004|002|3|7|/p/notes.txt|notes.txt"}));
    EXPECT_EQ(
        Lines(items.GetSubItems(0)),
        (std::vector<std::string>{Rec(0, 0, 4, 1, "/f", "Folder"), Rec(0, 1, 5, 4, "", "Grp")}));

    TStringList empty{"5", "Empty"};
    parent = 0;
    EXPECT_EQ(items.AddItems(parent, &empty), 2);
    EXPECT_EQ(parent, 8);
    EXPECT_EQ(items.LastID(), 8);
    EXPECT_TRUE(empty.Empty());
}

TEST(ChangeRecords, ChangesOneFieldOfTheFirstMatch) {
    TFavoriteItems items;
    const std::string r = Rec(0, 0, 3, 1, "/a.txt", "A");
    Fill(items, {Rec(0, 1, 3, 2, "/b.txt", "B"), r}, 2);

    std::string upper = r;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    EXPECT_EQ(items.ChangeAlias(upper, ""), "000000000|000|3|1|/A.TXT|");
    EXPECT_EQ(items.GetItem(1), "000000000|000|3|1|/A.TXT|");
    EXPECT_EQ(items.ChangeFileName(items.GetItem(0), "/new|x"), "000000000|001|3|2|/new|x|B");
    EXPECT_EQ(items.GetItem(0), "000000000|001|3|2|/new|x|B");

    const std::vector<std::string> before = Lines(items.Items());
    for (auto change : {&TFavoriteItems::ChangeAlias, &TFavoriteItems::ChangeFileName}) {
        try {
            (items.*change)("000000000|009|3|9|/none|N", "x");
            ADD_FAILURE() << "no error";
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Index(), -1);
        }
    }
    EXPECT_THROW(items.GetItem(2), EStringListError);
    EXPECT_THROW(items.SetItem(-1, "x"), EStringListError);
    EXPECT_EQ(Lines(items.Items()), before);
}

TEST(MoveItem, PlacesAsAddItemAndKeepsIdentity) {
    const std::string g1 = Rec(0, 0, 5, 1, "", "G1"), g2 = Rec(0, 1, 5, 2, "", "G2");
    const std::string p = Rec(1, 0, 0, 10, "/p.dpr"), u = Rec(1, 1, 2, 11, "/u.pas"),
                      f = Rec(1, 2, 4, 12, "/f");
    const std::string u2 = Rec(2, 0, 2, 20, "/u2.pas"), g3 = Rec(2, 1, 5, 21, "", "G3"),
                      inner = Rec(21, 0, 3, 22, "/in.txt");
    struct Case {
        const char* name;
        std::string record;
        int parent;
        int position;
        std::vector<std::string> newSiblings; // the new parent's children afterwards
        std::vector<std::string> oldSiblings; // the old parent's children afterwards
    };
    const Case cases[] = {
        {"a unit before the folder",
         u2,
         1,
         2,
         {p, u, Rec(1, 2, 2, 20, "/u2.pas"), Rec(1, 3, 4, 12, "/f")},
         {g3}}, // the gap stays
        {"a group to the top level, members follow",
         g3,
         0,
         2,
         {g1, g2, Rec(0, 2, 5, 21, "", "G3")},
         {u2}},
        {"within its own group, closing the order", f, 1, 2, {p, u, f}, {p, u, f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFavoriteItems items;
        Fill(items, {inner, f, g3, u, g2, p, u2, g1}, 22);
        const int oldParent = GetIntPart(c.record, 0, '|');
        EXPECT_EQ(items.MoveItem(c.record, c.parent), c.position);
        EXPECT_EQ(items.LastID(), 22);
        EXPECT_EQ(items.Items().Count(), 8);
        EXPECT_EQ(Lines(items.GetSubItems(c.parent)), c.newSiblings);
        EXPECT_EQ(Lines(items.GetSubItems(oldParent)), c.oldSiblings);
        EXPECT_EQ(Lines(items.GetSubItems(21)), std::vector<std::string>{inner});
    }
    TFavoriteItems items;
    Fill(items, {p, u}, 11);
    EXPECT_THROW(items.MoveItem(f, 0), EStringListError);
    EXPECT_EQ(Lines(items.Items()), (std::vector<std::string>{p, u}));
}

TEST(Assign, CopiesRecordsAndLastIDOnly) {
    TFavoriteItems source;
    source.SetLastID(42);
    TFavoriteItems target;
    Fill(target, {Rec(0, 0, 3, 1)}, 1);
    target.GetSubItems(0);
    target.Assign(source);
    EXPECT_TRUE(target.Items().Empty());
    EXPECT_EQ(target.LastID(), 42);
    // The result lists are the target's own and stay as they were.
    EXPECT_EQ(target.GetSubItems(0).Count(), 0);
}

TEST(Queries, SortAndFilter) {
    TFavoriteItems items;
    Fill(items,
         {Rec(7, 0, 5, 8, "", "Inner"), Rec(0, 2, 0, 2, "/top.dpr"), Rec(3, 0, 2, 4, "/u.pas"),
          Rec(0, 0, 5, 3, "", "G3"), Rec(7, 1, 0, 5, "/p7.dpr"), Rec(0, 1, 5, 7, "", "G7"),
          Rec(3, 1, 4, 6, "/dir"), Rec(3, 2, 1, 9, "/k.dpk")},
         9);
    const std::vector<std::string> top = {Rec(0, 0, 5, 3, "", "G3"), Rec(0, 1, 5, 7, "", "G7"),
                                          Rec(0, 2, 0, 2, "/top.dpr")};
    EXPECT_EQ(Lines(items.GetSubItems(0)), top);
    EXPECT_TRUE(std::is_sorted(items.Items().begin(), items.Items().end(),
                               [](auto& a, auto& b) { return CompareText(a, b) < 0; }));

    TStringList& subItems = items.GetSubItems(7);
    EXPECT_EQ(Lines(subItems),
              (std::vector<std::string>{Rec(7, 0, 5, 8, "", "Inner"), Rec(7, 1, 0, 5, "/p7.dpr")}));
    EXPECT_EQ(&items.GetSubItems(99), &subItems);
    EXPECT_TRUE(subItems.Empty());

    EXPECT_EQ(Lines(items.GetSubGroups(0)), (std::vector<std::string>{top[0], top[1]}));
    EXPECT_EQ(Lines(subItems), top); // refilled by GetSubGroups
    EXPECT_TRUE(items.GetSubGroups(3).Empty());

    EXPECT_EQ(Lines(items.GetOnlyItems()),
              (std::vector<std::string>{Rec(0, 2, 0, 2, "/top.dpr"), Rec(7, 1, 0, 5, "/p7.dpr"),
                                        Rec(3, 2, 1, 9, "/k.dpk"), Rec(3, 0, 2, 4, "/u.pas"),
                                        Rec(3, 1, 4, 6, "/dir")}));

    EXPECT_TRUE(items.HasSubItems(top[0]));
    EXPECT_FALSE(items.HasSubItems(Rec(7, 0, 5, 8, "", "Inner")));
    EXPECT_FALSE(items.HasSubItems(Rec(0, 0, 4, 3, "/dir"))); // not a group
}

TEST(ExchangeItems, SwapsPlacesKeepingIdentity) {
    TFavoriteItems items;
    const std::string a = Rec(1, 1, 2, 10, "/a.pas", "A");
    const std::string b = Rec(1, 2, 3, 11, "/b.txt", "B");
    const std::string c = Rec(2, 0, 4, 12, "/c", "C");
    Fill(items, {a, b, c}, 12);

    std::string x = a, y = b;
    items.ExchangeItems(x, y);
    EXPECT_EQ(x, Rec(1, 1, 3, 11, "/b.txt", "B"));
    EXPECT_EQ(y, Rec(1, 2, 2, 10, "/a.pas", "A"));
    EXPECT_EQ(Lines(items.Items()), (std::vector<std::string>{x, y, c}));

    std::string p = x, q = c;
    items.ExchangeItems(p, q);
    EXPECT_EQ(p, Rec(1, 1, 4, 12, "/c", "C"));
    EXPECT_EQ(q, Rec(2, 0, 3, 11, "/b.txt", "B"));

    const std::vector<std::string> before = Lines(items.Items());
    std::string missing = Rec(9, 0, 2, 99), present = y;
    EXPECT_THROW(items.ExchangeItems(present, missing), EStringListError);
    EXPECT_THROW(items.ExchangeItems(missing, present), EStringListError);
    EXPECT_EQ(Lines(items.Items()), before);
    EXPECT_EQ(present, y);
}

// The walks as described, without any index: the reference for the fast paths.
struct Model {
    std::vector<std::string> items;
    std::int32_t lastID = 0;

    void Sort() {
        std::stable_sort(items.begin(), items.end(),
                         [](auto& a, auto& b) { return CompareText(a, b) < 0; });
    }
    std::vector<std::string> SubItems(int parent) {
        Sort();
        std::vector<std::string> r;
        for (const std::string& s : items) {
            if (GetIntPart(s, 0, '|') == parent)
                r.push_back(s);
            else if (!r.empty())
                break;
        }
        return r;
    }
    int AddItem(int type, int parent, const std::string& path, const std::string& alias) {
        const std::vector<std::string> children = SubItems(parent);
        int result = -1;
        for (int i = 0; i < static_cast<int>(children.size()); ++i) {
            int pos = i;
            if (GetIntPart(children[i], 2, '|') > type) {
                if (result == -1)
                    result = i;
                pos = i + 1;
            }
            const auto it = std::find_if(items.begin(), items.end(),
                                         [&](auto& s) { return SameText(s, children[i]); });
            std::string& r = *it;
            const std::string digits = IntToStrLen(pos, 3);
            const std::size_t bar = r.find('|');
            for (std::size_t k = 0; bar != std::string::npos && k < 3 && bar + 1 + k < r.size();
                 ++k)
                r[bar + 1 + k] = digits[k];
        }
        if (result == -1)
            result = static_cast<int>(children.size());
        ++lastID;
        items.push_back(IntToStrLen(parent, 9) + "|" + IntToStrLen(result, 3) + "|" +
                        std::to_string(type) + "|" + std::to_string(lastID) + "|" + path + "|" +
                        alias);
        return result;
    }
    std::vector<std::string> OnlyItems() {
        Sort();
        std::vector<std::string> r;
        std::size_t c[4] = {};
        for (const std::string& s : items) {
            const int t = GetIntPart(s, 2, '|');
            if (t == 4)
                r.push_back(s);
            else if (t >= 0 && t < 4) {
                r.insert(r.begin() + static_cast<std::ptrdiff_t>(c[t]), s);
                for (int k = t; k < 4; ++k)
                    ++c[k];
            }
        }
        return r;
    }
};

// Random collections with duplicates, case variants, shared positions and malformed fields.
TEST(Collection, FastPathsMatchTheDescribedWalks) {
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string parents[] = {"000000000", "000000001", "000000002", "000000007",
                                   "1",         "x",         "-000000001"};
    const std::string types[] = {"0", "1", "2", "3", "4", "5", "6", "a", ""};
    const std::string aliases[] = {"a", "A", "b", "Unit", "UNIT"};
    for (int round = 0; round < 300; ++round) {
        Model model;
        TFavoriteItems items;
        const int n = pick(25);
        for (int i = 0; i < n; ++i) {
            std::string r;
            switch (pick(12)) {
            case 0:
                r = parents[pick(7)];
                break;
            case 1:
                r = parents[pick(7)] + "|0";
                break;
            case 2:
                if (!model.items.empty()) {
                    r = model.items[static_cast<std::size_t>(
                        pick(static_cast<int>(model.items.size())))];
                    break;
                }
                [[fallthrough]];
            default:
                r = parents[pick(7)] + "|" + IntToStrLen(pick(4), 3) + "|" + types[pick(9)] + "|" +
                    std::to_string(pick(5)) + "||" + aliases[pick(5)];
            }
            model.items.push_back(r);
        }
        Fill(items, model.items, 0);
        for (int step = 0; step < 6; ++step) {
            const int parent = pick(4) == 0 ? -1 : std::vector<int>{0, 1, 2, 7}[pick(4)];
            switch (pick(3)) {
            case 0: {
                const int type = pick(7);
                ASSERT_EQ(items.AddItem(type, parent, "/p", "New"),
                          model.AddItem(type, parent, "/p", "New"));
                break;
            }
            case 1:
                ASSERT_EQ(Lines(items.GetSubItems(parent)), model.SubItems(parent));
                break;
            default:
                ASSERT_EQ(Lines(items.GetOnlyItems()), model.OnlyItems());
            }
            ASSERT_EQ(Lines(items.Items()), model.items) << "round " << round << " step " << step;
            ASSERT_EQ(items.LastID(), model.lastID);
        }
    }
}

} // namespace

// The index answers as IndexOf while records are rewritten, ids changed, duplicated, cased
// differently or not numbers at all.
TEST(ItemIndex, FindsWhatIndexOfFindsWhileRecordsAreRewritten) {
    std::mt19937 rng(20261209);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string ids[] = {"1", "2", "3", "x", "X", "", "99999999999"};
    const std::string aliases[] = {"a", "A", "b"};
    auto record = [&] { return "000000000|000|2|" + ids[pick(7)] + "|/p|" + aliases[pick(3)]; };
    for (int round = 0; round < 200; ++round) {
        TStringList items;
        for (int i = pick(12); i > 0; --i)
            items.Add(record());
        TItemIndex index(items);
        for (int step = 0; step < 10 && items.Count() > 0; ++step) {
            const std::string wanted = pick(2) ? items[pick(items.Count())] : record();
            const int at = index.First(wanted);
            ASSERT_EQ(at, items.IndexOf(wanted)) << "round " << round << " step " << step;
            if (at >= 0) {
                const std::string changed = record();
                index.Replace(at, changed);
                items.Put(at, changed);
            }
        }
    }
}
