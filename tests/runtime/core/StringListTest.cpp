#include "StringList.h"
#include "Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace {

TEST(StringList, IndexErrorsLeaveTheListUnchanged) {
    struct Case {
        const char* name;
        std::function<void(TStringList&)> op;
        int index;
    };
    const Case cases[] = {
        {"Get below", [](TStringList& l) { (void)l.Get(-1); }, -1},
        {"Get at Count", [](TStringList& l) { (void)l[3]; }, 3},
        {"Put at Count", [](TStringList& l) { l.Put(3, "x"); }, 3},
        {"Delete below", [](TStringList& l) { l.Delete(-1); }, -1},
        {"Delete at Count", [](TStringList& l) { l.Delete(3); }, 3},
        {"Insert past Count", [](TStringList& l) { l.Insert(4, "x"); }, 4},
        {"Insert below", [](TStringList& l) { l.Insert(-2, "x"); }, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list{"a", "b", "c"};
        try {
            c.op(list);
            ADD_FAILURE() << "no error raised";
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Index(), c.index);
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(c.index) + ")");
        }
        EXPECT_EQ(list, (TStringList{"a", "b", "c"}));
    }
    TStringList list{"a"};
    list.Insert(1, "b"); // Count itself appends
    EXPECT_EQ(list, (TStringList{"a", "b"}));
}

// The binary search of a sorted list must give what the scan gives: the first of equal lines.
TEST(StringList, IndexOfSortedAgreesWithScan) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"only"},
        {"a", "A", "a", "b", "B"},
        {"000000000|000|0|1|x|A", "000000000|001|2|2|y|b", "000000003|000|5|3||G"},
        {"abc", "ABD", "abe", "Abf", "abg", "abg", "ABG", "zz"},
        {"_x", "ax", "Ax", "[", "Z"},
    };
    const std::vector<std::string> queries = {"",
                                              "a",
                                              "A",
                                              "b",
                                              "c",
                                              "ONLY",
                                              "abg",
                                              "Z",
                                              "_X",
                                              "[",
                                              "aX",
                                              "zz",
                                              "zzz",
                                              "000000000|001|2|2|Y|B",
                                              "000000003|000|5|3||g"};
    for (const auto& lines : lists) {
        std::vector<std::string> sorted = lines;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
        TStringList scanned(sorted); // same order, but not known to be sorted
        TStringList searched(lines);
        searched.Sort();
        ASSERT_TRUE(searched.IsSorted());
        ASSERT_FALSE(scanned.IsSorted());
        ASSERT_EQ(searched.Lines(), sorted);
        for (const std::string& q : queries) {
            SCOPED_TRACE(testing::Message() << lines.size() << " lines, query \"" << q << "\"");
            EXPECT_EQ(searched.IndexOf(q), scanned.IndexOf(q));
        }
    }
}

TEST(StringList, ChangesAfterSortAreFound) {
    struct Case {
        const char* name;
        std::function<void(TStringList&)> change;
        const char* query;
        int expected;
    };
    const Case cases[] = {
        {"Add out of order", [](TStringList& l) { l.Add("AAA"); }, "aaa", 3},
        {"Put out of order", [](TStringList& l) { l.Put(0, "zzz"); }, "ZZZ", 0},
        {"Insert out of order", [](TStringList& l) { l.Insert(0, "q"); }, "q", 0},
        {"Delete", [](TStringList& l) { l.Delete(0); }, "n", 0},
        {"Lines() write", [](TStringList& l) { l.Lines()[2] = "a"; }, "A", 2},
        {"Assign",
         [](TStringList& l) {
             l = TStringList{"y", "x"};
         },
         "x", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list{"m", "n", "o"};
        list.Sort();
        c.change(list);
        EXPECT_FALSE(list.IsSorted());
        EXPECT_EQ(list.IndexOf(c.query), c.expected);
    }
}

TEST(StringList, SortIsStableAndFoldsToUpperCase) {
    struct Case {
        std::vector<std::string> in, out;
    };
    const Case cases[] = {
        {{"b", "B", "a", "A"}, {"a", "A", "b", "B"}},
        {{"B", "b", "A", "a"}, {"A", "a", "B", "b"}},
        // Letters fold to upper case, so '_' (after 'Z') sorts after every letter.
        {{"_x", "ax", "Zx"}, {"ax", "Zx", "_x"}},
        {{"ab", "a", ""}, {"", "a", "ab"}},
        {{"000000002|000", "000000001|001", "000000001|000"},
         {"000000001|000", "000000001|001", "000000002|000"}},
    };
    for (const Case& c : cases) {
        TStringList list(c.in);
        list.Sort();
        EXPECT_EQ(list.Lines(), c.out);
    }
    // Against a plain stable sort: lines that differ only past byte 16, in letter case, by
    // a trailing NUL or a high byte.
    std::mt19937 random(7);
    const std::string alphabet("aAbB0|\0\xE9", 8);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> lines(500);
        for (std::string& line : lines) {
            line = std::string(random() % 3 == 0 ? 15 : 0, '0');
            for (std::size_t n = random() % 8; n > 0; --n)
                line += alphabet[random() % alphabet.size()];
        }
        std::vector<std::string> expected = lines;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
        TStringList list(lines);
        list.Sort();
        ASSERT_EQ(list.Lines(), expected);
    }
}

} // namespace
