#include "FavUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(GetPart, SplitsFields) {
    struct Case {
        std::string_view text;
        int index;
        char sep;
        std::string_view expected;
    };
    const Case cases[] = {
        {RootRecord, 5, '|', "Favorites"},
        {RootRecord, 4, '|', ""},
        {RootRecord, 0, '|', "000000000"},
        {RootRecord, 6, '|', ""},
        {RootRecord, 255, '|', ""},
        {"|a|b", 0, '|', ""},
        {"|a|b", 2, '|', "b"},
        {"a|b|", 2, '|', ""},
        {"", 0, '|', ""},
        {"no separator", 0, '|', "no separator"},
        {"no separator", 1, '|', ""},
        {"FavItem_7_12", 1, '_', "7"},
        {"FavItem_7_12", 2, '_', "12"},
        // A '|' inside the path shifts the alias.
        {"000000000|000|3|1|C:\\a|b.txt|Alias", 5, '|', "b.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPart(c.text, static_cast<std::uint8_t>(c.index), c.sep), c.expected)
            << c.text << " [" << c.index << "]";
    // All six fields at once, as GetPart gives them one by one.
    for (const std::string_view record :
         {RootRecord, std::string_view("|a|b"), std::string_view("a|b|"), std::string_view(""),
          std::string_view("000000000|000|3|1|C:\\a|b.txt|Alias"), std::string_view("||||||||"),
          std::string_view("one")}) {
        const std::array<std::string_view, 6> fields = RecordFields(record);
        for (std::uint8_t f = 0; f < 6; ++f)
            EXPECT_EQ(fields[f], GetPart(record, f, '|')) << record << " [" << int(f) << "]";
    }
}

TEST(GetIntPart, ConvertsPlainDecimalOnly) {
    struct Case {
        std::string_view field;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"000000012", 12},  {"", 0},
        {"abc", 0},         {"12a", 0},
        {"-5", -5},         {"+7", 7},
        {"-", 0},           {" 5", 0},
        {"5 ", 0},          {"$1F", 0},
        {"0x10", 0},        {"2147483647", 2147483647},
        {"2147483648", 0},  {"-2147483648", -2147483647 - 1},
        {"-2147483649", 0}, {"99999999999999999999", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetIntPart("x|" + std::string(c.field) + "|y", 1, '|'), c.expected)
            << '"' << c.field << '"';
}

TEST(IntToStrLen, PadsWithoutTruncating) {
    struct Case {
        std::int32_t value;
        int len;
        std::string_view expected;
    };
    const Case cases[] = {
        {5, 3, "005"},
        {0, 9, "000000000"},
        {1234, 3, "1234"},
        {-5, 3, "0-5"},
        {12, 0, "12"},
        {12, -4, "12"},
        {-2147483647 - 1, 3, "-2147483648"},
        {999, 3, "999"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntToStrLen(c.value, c.len), c.expected) << c.value << "," << c.len;
}

TEST(GetFileItemType, ClassifiesByLastExtension) {
    struct Case {
        std::string_view name;
        int expected;
    };
    const Case cases[] = {
        {"C:\\Apps\\Sample.dpr", 0},
        {"/home/u/x.Dpr", 0},
        {"group.BPG", 0},
        {"pkg.dpk", 1},
        {"unit.pas", 2},
        {"notes.txt.pas", 2},
        {"unit.pas.txt", 3},
        {"Makefile", 3},
        {"C:\\dir.pas\\file", 3},
        {"/dir.dpr/file", 3},
        {"", 3},
        {"unit.pas.", 3},
        {".pas", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetFileItemType(c.name), c.expected) << c.name;
}

TEST(FolderExists, OnlyForExistingFolders) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) / "favutils_folder_exists";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "file.txt").string();
    std::ofstream(file) << "x";

    EXPECT_TRUE(FolderExists(dir.string()));
    EXPECT_TRUE(FolderExists(dir.string() + "/"));
#ifdef _WIN32
    EXPECT_TRUE(FolderExists(dir.string() + "\\"));
    EXPECT_FALSE(FolderExists(file + "\\"));
    EXPECT_FALSE(FolderExists("Q:\\no drive"));
#endif
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists((dir / "missing").string()));
    EXPECT_FALSE(FolderExists(""));
    std::filesystem::remove_all(dir);
}

} // namespace

namespace {

TEST(KindClasses, PairTheTypeCodes) {
    // Type codes -1 to 6 against each other: the same class exactly for 0-1, 2-3 and 4-5.
    for (int a = -1; a <= 6; ++a) {
        for (int b = -1; b <= 6; ++b) {
            const bool inRange = a >= 0 && a <= 5 && b >= 0 && b <= 5;
            EXPECT_EQ(SameKindClass(a, b), inRange && a / 2 == b / 2) << a << "," << b;
        }
    }
    EXPECT_EQ(KindClass(fitFolder), KindClass(fitGroup));
    EXPECT_EQ(KindClass(6), -1);
}

TEST(ItemCaption, TheAliasOrThePathWhenTheAliasIsBlank) {
    const struct {
        std::string_view record;
        std::string_view caption;
        std::string_view alias;
    } cases[] = {
        {"000000000|000|2|1|/p/a.pas|Main", "Main", "Main"},
        {"000000000|000|2|1|/p/a.pas| Main ", " Main ", " Main "},
        {"000000000|000|2|1|/p/a.pas|", "/p/a.pas", ""},
        {"000000000|000|2|1|/p/a.pas| \t\r\n\x01", "/p/a.pas", " \t\r\n\x01"},
        {"000000000|001|5|7|| ", "", " "},
        {RootRecord, "Favorites", "Favorites"},
        // A '|' in the path: the caption reads field 5; the alias is what follows the last '|'.
        {"000000000|000|3|1|/p/a|b.txt|Alias", "b.txt", "Alias"},
        {"no bar", "", "no bar"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ItemCaption(c.record), c.caption) << c.record;
        EXPECT_EQ(RecordAlias(c.record), c.alias) << c.record;
    }
}

} // namespace
