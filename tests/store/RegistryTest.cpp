#include "Registry.h"
#include "Exception.h"
#include "FavUtils.h"
#include "RegFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Each test gets its own registry file, removed afterwards.
class StoreRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::FreshTestDir("store_registry_");
        file = (dir / "HKEY_CURRENT_USER.reg").string();
        SetRegistryFile(file);
    }
    void TearDown() override {
        SetRegistryFile("");
        fs::remove_all(dir);
    }
    std::string FileText() const { return testsupport::ReadFileText(file); }
    void WriteFile(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }

    fs::path dir;
    std::string file;
};

TEST_F(StoreRegistryTest, SaveThenLoadRoundTrip) {
    TFavoriteItems saved;
    saved.Items().Add("000000000|000|3|1|/home/u/a.txt|a.txt");
    saved.Items().Add(std::string(300, 'x'));
    saved.SetLastID(40000);
    saved.SaveToReg();

    TRegIniFile reg("\\Favorites");
    EXPECT_EQ(reg.ReadBinaryData("Items"), WriteFavoriteStream(saved));

    TFavoriteItems loaded;
    loaded.LoadFromReg();
    EXPECT_EQ(loaded.Items(), saved.Items());
    EXPECT_EQ(loaded.LastID(), 40000);
}

TEST_F(StoreRegistryTest, MissingOrEmptyValueLoadsNothing) {
    TFavoriteItems items;
    items.LoadFromReg(); // no file yet: nothing is read, and nothing written
    EXPECT_TRUE(items.Items().Empty());
    EXPECT_EQ(items.LastID(), 0);
    EXPECT_FALSE(std::filesystem::exists(file));

    TRegIniFile("\\Favorites").WriteBinaryData("Items", nullptr, 0);
    TRegistryStream stream;
    stream.Write("ab", 2);
    EXPECT_FALSE(stream.LoadFromRegistry("\\Favorites", "Items"));
    EXPECT_EQ(stream.Size(), 2u);
    items.LoadFromReg();
    EXPECT_TRUE(items.Items().Empty());
}

TEST_F(StoreRegistryTest, UnreadableValueLeavesCollectionUnchanged) {
    struct Case {
        const char* name;
        std::string value; // the value's line in the registry file
        bool registryError;
    };
    const Case cases[] = {
        {"string value", "\"Items\"=\"TPF0\"", true},
        {"number value", "\"Items\"=dword:00000001", true},
        {"not a component stream", "\"Items\"=hex:54,50,46,31,00", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Favorites]\r\n" +
                                 c.value + "\r\n\r\n";
        WriteFile(text);
        TFavoriteItems items;
        items.Items().Add("kept");
        items.SetLastID(5);
        if (c.registryError)
            EXPECT_THROW(items.LoadFromReg(), ERegistryException);
        else
            EXPECT_THROW(items.LoadFromReg(), EReadError);
        EXPECT_EQ(items.Items(), TStringList{"kept"});
        EXPECT_EQ(items.LastID(), 5);
        EXPECT_EQ(FileText(), text); // nothing overwrites a value that could not be read
    }
}

#else
// On Windows the real registry of the current user. Each test keeps its favorites under a
// key of its own, so a test run never touches the user's HKEY_CURRENT_USER\Favorites.
using testsupport::B;
using testsupport::Bytes;
using testsupport::operator+;

// The collection, stored under the test's key.
class TTestItems : public TFavoriteItems {
public:
    std::string GetSection() const override {
        return "\\" + testsupport::WinRegistryTest::TestKeyName();
    }
};

// A value as the registry holds it.
struct RawValue {
    DWORD Type = REG_NONE;
    Bytes Data;
    bool operator==(const RawValue&) const = default;
};

class StoreWinRegistryTest : public testsupport::WinRegistryTest {
protected:
    // Writes "Items" with RegSetValueExA directly, of any type.
    void SetRaw(DWORD type, const Bytes& data) const {
        WinRegistryTest::SetRaw("Items", type, data.data(), static_cast<DWORD>(data.size()));
    }
    // Reads "Items" with RegQueryValueExA directly; type REG_NONE when missing.
    RawValue GetRaw() const {
        RawValue v;
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return v;
        DWORD size = 0;
        if (RegQueryValueExA(k, "Items", nullptr, &v.Type, nullptr, &size) == ERROR_SUCCESS) {
            v.Data.resize(size);
            RegQueryValueExA(k, "Items", nullptr, &v.Type, v.Data.data(), &size);
        } else {
            v.Type = REG_NONE;
        }
        RegCloseKey(k);
        return v;
    }
};

TEST_F(StoreWinRegistryTest, SaveThenLoadRoundTrip) {
    TTestItems saved;
    saved.Items().Add("000000000|000|3|1|C:\\Apps\\a.txt|a.txt");
    saved.Items().Add(std::string(300, 'x'));
    saved.SetLastID(40000);
    saved.SaveToReg();
    EXPECT_EQ(GetRaw(), (RawValue{REG_BINARY, WriteFavoriteStream(saved)}));

    TTestItems loaded;
    loaded.Items().Add("replaced");
    loaded.LoadFromReg();
    EXPECT_EQ(loaded.Items(), saved.Items());
    EXPECT_EQ(loaded.LastID(), 40000);
}

TEST_F(StoreWinRegistryTest, StoredBytes) {
    const Bytes header = B("TPF0") + B({0x0E}) + B("TFavoriteItems") + B({0x00});
    const Bytes itemsName = B({0x0D}) + B("Items.Strings") + B({0x01});
    const Bytes lastID = B({0x06}) + B("LastID");
    const Bytes end = B({0x00, 0x00});
    const std::string r30(30, 'a'), r300(300, 'b');
    struct Case {
        const char* name;
        std::vector<std::string> records;
        std::int32_t id;
        Bytes value;
    };
    const Case cases[] = {
        {"empty", {}, 0, header + lastID + B({0x02, 0x00}) + end},
        {"LastID 100", {}, 100, header + lastID + B({0x02, 0x64}) + end},
        {"LastID 200", {}, 200, header + lastID + B({0x03, 0xC8, 0x00}) + end},
        {"LastID 40000", {}, 40000, header + lastID + B({0x04, 0x40, 0x9C, 0x00, 0x00}) + end},
        {"LastID -1", {}, -1, header + lastID + B({0x02, 0xFF}) + end},
        {"short and long records",
         {r30, r300},
         2,
         header + itemsName + B({0x06, 0x1E}) + B(r30) + B({0x0C, 0x2C, 0x01, 0x00, 0x00}) +
             B(r300) + B({0x00}) + lastID + B({0x02, 0x02}) + end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestItems items;
        for (const std::string& record : c.records)
            items.Items().Add(record);
        items.SetLastID(c.id);
        items.SaveToReg();
        EXPECT_EQ(GetRaw(), (RawValue{REG_BINARY, c.value}));
    }
}

TEST_F(StoreWinRegistryTest, ReadingCreatesTheKeyAndAMissingOrEmptyValueLoadsNothing) {
    ASSERT_FALSE(KeyExists());
    TTestItems items;
    items.LoadFromReg();
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(GetRaw().Type, static_cast<DWORD>(REG_NONE)); // reading wrote no value
    EXPECT_TRUE(items.Items().Empty());
    EXPECT_EQ(items.LastID(), 0);

    SetRaw(REG_BINARY, {});
    TRegistryStream stream;
    stream.Write("ab", 2);
    EXPECT_FALSE(stream.LoadFromRegistry(items.GetSection(), "Items"));
    EXPECT_EQ(stream.Bytes(), B("ab"));
    items.LoadFromReg();
    EXPECT_TRUE(items.Items().Empty());
}

TEST_F(StoreWinRegistryTest, UnreadableValueLeavesCollectionAndValueUnchanged) {
    const DWORD one = 1;
    struct Case {
        const char* name;
        DWORD type;
        Bytes data;
        bool registryError;
    };
    const Case cases[] = {
        {"REG_SZ", REG_SZ, B(std::string_view("TPF0", 5)), true},
        {"REG_DWORD", REG_DWORD,
         Bytes(reinterpret_cast<const std::uint8_t*>(&one),
               reinterpret_cast<const std::uint8_t*>(&one + 1)),
         true},
        {"not a component stream", REG_BINARY, B({0x54, 0x50, 0x46, 0x31, 0x00}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetRaw(c.type, c.data);
        TTestItems items;
        items.Items().Add("kept");
        items.SetLastID(5);
        if (c.registryError) {
            try {
                items.LoadFromReg();
                ADD_FAILURE() << "loaded";
            } catch (const ERegistryException& e) {
                EXPECT_EQ(e.Message(), "Invalid data type for 'Items'");
            }
        } else {
            EXPECT_THROW(items.LoadFromReg(), EReadError);
        }
        EXPECT_EQ(items.Items(), TStringList{"kept"});
        EXPECT_EQ(items.LastID(), 5);
        EXPECT_EQ(GetRaw(), (RawValue{c.type, c.data}));
    }
}
#endif

} // namespace
