#include "Exception.h"
#include "FavUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::B;
using testsupport::Bytes;
using testsupport::operator+;

const Bytes Header = B("TPF0") + B({0x0E}) + B("TFavoriteItems") + B({0x00});
const Bytes ItemsName = B({0x0D}) + B("Items.Strings");
const Bytes LastIDName = B({0x06}) + B("LastID");

TEST(WriteFavoriteStream, EmptyCollectionIs31Bytes) {
    TFavoriteItems items;
    const Bytes expected = Header + LastIDName + B({0x02, 0x00, 0x00, 0x00});
    ASSERT_EQ(expected.size(), 31u);
    EXPECT_EQ(WriteFavoriteStream(items), expected);
}

TEST(WriteFavoriteStream, LastIDInSmallestInteger) {
    struct Case {
        std::int32_t id;
        Bytes value;
    };
    const Case cases[] = {
        {100, {0x02, 0x64}},
        {200, {0x03, 0xC8, 0x00}},
        {40000, {0x04, 0x40, 0x9C, 0x00, 0x00}},
        {-1, {0x02, 0xFF}},
        {127, {0x02, 0x7F}},
        {128, {0x03, 0x80, 0x00}},
        {-128, {0x02, 0x80}},
        {-129, {0x03, 0x7F, 0xFF}},
        {32767, {0x03, 0xFF, 0x7F}},
        {32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
        {-32768, {0x03, 0x00, 0x80}},
        {-2147483647 - 1, {0x04, 0x00, 0x00, 0x00, 0x80}},
    };
    for (const Case& c : cases) {
        TFavoriteItems items;
        items.SetLastID(c.id);
        EXPECT_EQ(WriteFavoriteStream(items), Header + LastIDName + c.value + B({0x00, 0x00}))
            << c.id;
    }
}

TEST(WriteFavoriteStream, RecordsByLength) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {30, {0x06, 0x1E}},
        {255, {0x06, 0xFF}},
        {256, {0x0C, 0x00, 0x01, 0x00, 0x00}},
        {300, {0x0C, 0x2C, 0x01, 0x00, 0x00}},
        {0, {0x06, 0x00}},
    };
    for (const Case& c : cases) {
        TFavoriteItems items;
        const std::string record(c.length, 'r');
        items.Items().Add(record);
        EXPECT_EQ(WriteFavoriteStream(items), Header + ItemsName + B({0x01}) + c.prefix +
                                                  B(record) + B({0x00}) + LastIDName +
                                                  B({0x02, 0x00, 0x00, 0x00}))
            << c.length;
    }
}

TEST(WriteFavoriteStream, RecordsInListOrder) {
    TFavoriteItems items;
    items.SetItems(TStringList{"c", "a", "b\xE9"});
    items.SetLastID(3);
    EXPECT_EQ(WriteFavoriteStream(items), Header + ItemsName + B({0x01, 0x06, 0x01}) + B("c") +
                                              B({0x06, 0x01}) + B("a") + B({0x06, 0x02}) +
                                              B("b\xE9") + B({0x00}) + LastIDName +
                                              B({0x02, 0x03, 0x00, 0x00}));
}

TEST(ReadFavoriteStream, RoundTrip) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        TFavoriteItems items;
        const int n = static_cast<int>(rng() % 20);
        for (int i = 0; i < n; ++i) {
            std::string r(rng() % 400, '\0');
            for (char& ch : r)
                ch = static_cast<char>(rng());
            items.Items().Add(r);
        }
        items.SetLastID(static_cast<std::int32_t>(rng()));
        const Bytes bytes = WriteFavoriteStream(items);
        TFavoriteItems read;
        ReadFavoriteStream(bytes, read);
        EXPECT_EQ(read.Items(), items.Items());
        EXPECT_EQ(read.LastID(), items.LastID());
        EXPECT_EQ(WriteFavoriteStream(read), bytes);
    }
}

TEST(ReadFavoriteStream, AcceptsEveryStringAndIntegerTag) {
    TFavoriteItems items;
    items.SetItems(TStringList{"old"});
    items.SetLastID(9);
    ReadFavoriteStream(Header + LastIDName + B({0x04, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00}), items);
    EXPECT_EQ(items.Items(), TStringList{"old"}); // no Items.Strings: the list stays
    EXPECT_EQ(items.LastID(), 5);

    ReadFavoriteStream(Header + LastIDName + B({0x03, 0xFE, 0xFF}) + ItemsName +
                           B({0x01, 0x0C, 0x02, 0x00, 0x00, 0x00}) + B("ab") + B({0x06, 0x01}) +
                           B("c") + B({0x00, 0x00, 0x00}),
                       items);
    EXPECT_EQ(items.Items(), (TStringList{"ab", "c"}));
    EXPECT_EQ(items.LastID(), -2);

    ReadFavoriteStream(Header + ItemsName + B({0x01, 0x00}) + B({0x00, 0x00}), items);
    EXPECT_TRUE(items.Items().Empty()); // an empty list clears
    EXPECT_EQ(items.LastID(), -2);
}

TEST(ReadFavoriteStream, MalformedInputLeavesCollectionUnchanged) {
    const Bytes tail = B({0x00, 0x00});
    const Bytes lastID = LastIDName + B({0x02, 0x01});
    const Bytes goodItems = ItemsName + B({0x01, 0x06, 0x01}) + B("n") + B({0x00});
    struct Case {
        const char* name;
        Bytes bytes;
        std::string_view message;
    };
    const Case cases[] = {
        {"empty", {}, "offset 0: signature needs 4 bytes, only 0 left"},
        {"short signature", B("TPF"), "offset 0"},
        {"wrong signature", B("TPF1") + Bytes(Header.begin() + 4, Header.end()) + lastID + tail,
         "offset 0: signature"},
        {"wrong class", B("TPF0") + B({0x05}) + B("TForm") + B({0x00}) + lastID + tail,
         "offset 4: class \"TFavoriteItems\" expected, found \"TForm\""},
        {"class name past the end", B("TPF0") + B({0x0E}) + B("TFavorite"),
         "offset 5: class name needs 14 bytes, only 9 left"},
        {"no component name", B("TPF0") + B({0x0E}) + B("TFavoriteItems"), "component name"},
        {"unknown property", Header + B({0x03}) + B("Tag") + B({0x02, 0x00}) + tail,
         "offset 20: unknown property \"Tag\""},
        {"property name past the end", Header + B({0x06}) + B("Las"), "property name"},
        {"items not a list", Header + ItemsName + B({0x06, 0x01}) + B("x") + tail,
         "offset 34: Items.Strings must be a list"},
        {"wrong entry tag", Header + ItemsName + B({0x01, 0x07, 0x00}) + tail,
         "offset 35: Items.Strings entry has tag 0x07"},
        {"string past the end", Header + ItemsName + B({0x01, 0x06, 0x05}) + B("ab"),
         "offset 37: string needs 5 bytes, only 2 left"},
        {"long string past the end",
         Header + ItemsName + B({0x01, 0x0C, 0xFF, 0xFF, 0xFF, 0x7F}) + B("ab"),
         "string needs 2147483647 bytes"},
        {"negative long string", Header + ItemsName + B({0x01, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF}),
         "negative string length -1"},
        {"list without end", Header + ItemsName + B({0x01, 0x06, 0x01}) + B("n"),
         "Items.Strings entry needs 1 bytes"},
        {"wrong integer tag", Header + LastIDName + B({0x05, 0x00}) + tail,
         "offset 27: LastID has tag 0x05"},
        {"integer past the end", Header + LastIDName + B({0x04, 0x01, 0x00}),
         "offset 28: LastID value needs 4 bytes, only 2 left"},
        {"no end of properties", Header + lastID, "offset 29: property name needs 1 bytes"},
        {"no end of children", Header + lastID + B({0x00}), "end of child components"},
        {"child component", Header + lastID + B({0x00, 0x01}),
         "offset 30: child components are not supported"},
        {"trailing data", Header + lastID + tail + B({0x00}),
         "offset 31: 1 bytes of trailing data"},
        {"duplicate LastID", Header + lastID + lastID + tail, "duplicate property \"LastID\""},
        {"duplicate Items.Strings", Header + goodItems + goodItems + tail,
         "duplicate property \"Items.Strings\""},
        {"good items then garbage", Header + goodItems + lastID + B({0x01}) + B("X") + tail,
         "unknown property \"X\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFavoriteItems items;
        items.SetItems(TStringList{"kept 1", "kept 2"});
        items.SetLastID(77);
        try {
            ReadFavoriteStream(c.bytes, items);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(items.Items(), (TStringList{"kept 1", "kept 2"}));
        EXPECT_EQ(items.LastID(), 77);
    }
}

} // namespace
