#include "Registry.h"
#include "Exception.h"
#include "FavUtils.h"
#include "RegFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Each test gets its own registry file, removed afterwards.
class StoreRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("store_registry_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / "HKEY_CURRENT_USER.reg").string();
        SetRegistryFile(file);
    }
    void TearDown() override {
        SetRegistryFile("");
        fs::remove_all(dir);
    }
    std::string FileText() const {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
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
    items.LoadFromReg(); // no file yet: the key is created, nothing is read
    EXPECT_TRUE(items.Items().Empty());
    EXPECT_EQ(items.LastID(), 0);
    EXPECT_TRUE(LoadRegFile(file).HasKey("HKEY_CURRENT_USER\\Favorites"));

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

} // namespace
