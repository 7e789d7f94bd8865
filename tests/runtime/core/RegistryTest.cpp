#include "Registry.h"
#include "Exception.h"
#include "RegFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
const char* const Fav = "HKEY_CURRENT_USER\\Favorites";

using testsupport::ReadFileText;

// Off Windows the registry is a file.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::FreshTestDir("core_registry_");
        file = dir / "HKEY_CURRENT_USER.reg";
        SetRegistryFile(file.string());
    }
    void TearDown() override {
        SetRegistryFile("");
        fs::remove_all(dir);
    }
    void Write(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
    TRegDocument Document() const { return LoadRegFile(file.string()); }
    // The files in the folder, the lock file that every save makes beside the registry aside.
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::count_if(
            fs::directory_iterator(dir), fs::directory_iterator(),
            [](const fs::directory_entry& e) { return e.path().extension() != ".lock"; }));
    }

    fs::path dir, file;
};

TEST_F(Registry, OpeningWritesNothingAndTheFirstWriteMakesTheKeyAndTheFolders) {
    file = dir / "a" / "b" / "reg.reg";
    SetRegistryFile(file.string());
    {
        TRegIniFile reg("\\Favorites");
        EXPECT_EQ(reg.GetDataSize("Items"), 0u);
        EXPECT_THROW(reg.ReadBinaryData("Items"), ERegistryException);
        EXPECT_FALSE(reg.ReadValue("Items"));
    }
    EXPECT_FALSE(fs::exists(dir / "a")) << "reading made the folders";

    const std::uint8_t byte = 7;
    TRegIniFile("\\Favorites").WriteBinaryData("Items", &byte, 1);
    const std::string text = ReadFileText(file);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(0, 2), "\xFF\xFE"); // the editor's UTF-16 with byte-order mark
    const TRegDocument doc = Document();
    EXPECT_EQ(doc.Format, TRegFormat::Version5);
    ASSERT_EQ(doc.Keys.size(), 1u);
    EXPECT_EQ(doc.Keys[0].Name, Fav);

    // Opening a key that the file lacks changes nothing either.
    const auto stamp = fs::last_write_time(file);
    TRegIniFile other("Software\\Other\\");
    EXPECT_EQ(other.GetDataSize("x"), 0u);
    EXPECT_EQ(fs::last_write_time(file), stamp);
    EXPECT_EQ(ReadFileText(file), text);
}

TEST_F(Registry, KeyPathsNameKeysUnderTheCurrentUser) {
    struct Case {
        const char* path;
        const char* key;
    };
    const Case cases[] = {
        {"\\Favorites", "HKEY_CURRENT_USER\\Favorites"},
        {"Favorites", "HKEY_CURRENT_USER\\Favorites"},
        {"\\Software\\Quarvel\\", "HKEY_CURRENT_USER\\Software\\Quarvel"},
        {"\\", "HKEY_CURRENT_USER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::uint8_t one = 1;
        TRegIniFile(c.path).WriteBinaryData("v", &one, 1);
        const TRegDocument doc = Document();
        const TRegValue* v = doc.FindValue(c.key, "v");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Data, std::vector<std::uint8_t>{1});
        fs::remove(file);
    }
}

TEST_F(Registry, WritesAndReadsBinaryValues) {
    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    TRegIniFile("\\Favorites").WriteBinaryData("Items", data.data(), data.size());
    TRegIniFile reg("\\Favorites");
    EXPECT_EQ(reg.GetDataSize("items"), 1000u);
    EXPECT_EQ(reg.ReadBinaryData("ITEMS"), data);
    reg.WriteBinaryData("Items", nullptr, 0);
    EXPECT_EQ(reg.GetDataSize("Items"), 0u);
    EXPECT_EQ(TRegIniFile("\\Favorites").ReadBinaryData("Items"), std::vector<std::uint8_t>{});
}

TEST_F(Registry, ValuesKeepTheirTypes) {
    struct Case {
        const char* line;
        std::size_t size;
    };
    const Case cases[] = {
        {"\"Items\"=\"abc\"", 4},
        {"\"Items\"=dword:00000001", 4},
        {"\"Items\"=hex(2):41,00,00,00", 4},
        {"\"Items\"=hex(0):", 0},
        {"\"Items\"=-", 0},
        {"\"Other\"=hex:01", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Write(std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Favorites]\r\n") + c.line + "\r\n");
        TRegIniFile reg("\\Favorites");
        EXPECT_EQ(reg.GetDataSize("Items"), c.size);
        try {
            reg.ReadBinaryData("Items");
            ADD_FAILURE() << "read as binary";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), "Invalid data type for 'Items'");
        }
    }
}

TEST_F(Registry, SavingKeepsEverythingElse) {
    const std::string original = "REGEDIT4\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"a\"=\"1\"\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Favorites]\r\n@=\"default\"\r\n"
                                 "\"Items\"=hex:01\r\n\"After\"=dword:00000002\r\n\r\n"
                                 "[-HKEY_CURRENT_USER\\Old]\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Z]\r\n\"z\"=hex(7):00,00\r\n\r\n";
    Write(original);
    const std::uint8_t data[] = {9, 8, 7};
    TRegIniFile("\\Favorites").WriteBinaryData("Items", data, sizeof data);

    TRegDocument expected = ParseRegFile(testsupport::B(original));
    expected.Keys[1].Values[1].Data = {9, 8, 7};
    const TRegDocument saved = Document();
    EXPECT_EQ(saved.Keys, expected.Keys);
    // A file in the older format stays in it.
    EXPECT_EQ(saved.Format, TRegFormat::Regedit4);
    EXPECT_EQ(ReadFileText(file).rfind("REGEDIT4\r\n", 0), 0u);
}

TEST_F(Registry, AnUnreadableFileIsNeverOverwritten) {
    const std::vector<std::string> bad = {
        "not a registry file",
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\Favorites]\r\n\"Items\"=hex:zz\r\n",
        std::string("\xFF\xFEW\0", 4) + "x",
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        Write(text);
        try {
            TRegIniFile reg("\\Favorites");
            ADD_FAILURE() << "opened";
        } catch (const ERegistryException& e) {
            EXPECT_NE(e.Message().find(file.string()), std::string::npos) << e.Message();
        }
        EXPECT_EQ(ReadFileText(file), text);
    }

    // Spoilt between opening the key and writing: the write is refused too.
    Write("REGEDIT4\r\n[HKEY_CURRENT_USER\\Favorites]\r\n");
    TRegIniFile reg("\\Favorites");
    Write("garbage");
    const std::uint8_t one = 1;
    EXPECT_THROW(reg.WriteBinaryData("Items", &one, 1), ERegistryException);
    EXPECT_EQ(ReadFileText(file), "garbage");
}

TEST_F(Registry, ASaveThatFailsHalfWayLeavesTheOldFile) {
    std::vector<std::uint8_t> old(100, 0xAB);
    TRegIniFile("\\Favorites").WriteBinaryData("Items", old.data(), old.size());
    const std::string before = ReadFileText(file);
    const std::vector<std::uint8_t> bigger(5000, 0xCD);
    for (const std::size_t after :
         {std::size_t{0}, std::size_t{1}, before.size(), std::size_t{4096}}) {
        SCOPED_TRACE(after);
        regfile_testing::FailNextWriteAfter(after);
        TRegIniFile reg("\\Favorites");
        EXPECT_THROW(reg.WriteBinaryData("Items", bigger.data(), bigger.size()),
                     ERegistryException);
        EXPECT_EQ(ReadFileText(file), before);
        EXPECT_EQ(FilesInDir(), 1u) << "temporary file left behind";
        EXPECT_EQ(TRegIniFile("\\Favorites").ReadBinaryData("Items"), old);
    }
    // The failure is for one save only.
    TRegIniFile("\\Favorites").WriteBinaryData("Items", bigger.data(), bigger.size());
    EXPECT_EQ(TRegIniFile("\\Favorites").ReadBinaryData("Items"), bigger);
}

TEST_F(Registry, SavingThroughALinkKeepsTheLink) {
    const fs::path real = dir / "real.reg";
    fs::create_symlink(real, file);
    const std::uint8_t one = 1;
    TRegIniFile("\\Favorites").WriteBinaryData("Items", &one, 1);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_NE(LoadRegFile(real.string()).FindValue(Fav, "Items"), nullptr);
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (FOld)
            ::setenv(FName, FOld->c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST(RegistryFile, OverrideThenEnvironmentThenConfigFolder) {
    struct Case {
        const char* override;
        const char* registry;
        const char* config;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/o.reg", "/env.reg", "/cfg", "/home/u", "/o.reg"},
        {"", "/env.reg", "/cfg", "/home/u", "/env.reg"},
        {"", "", "/cfg", "/home/u", "/cfg/Quarvel/HKEY_CURRENT_USER.reg"},
        {"", nullptr, nullptr, "/home/u", "/home/u/.config/Quarvel/HKEY_CURRENT_USER.reg"},
        {"", nullptr, "", "/home/u", "/home/u/.config/Quarvel/HKEY_CURRENT_USER.reg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        ScopedEnv registry("QUARVEL_REGISTRY", c.registry);
        ScopedEnv config("XDG_CONFIG_HOME", c.config);
        ScopedEnv home("HOME", c.home);
        SetRegistryFile(c.override);
        EXPECT_EQ(RegistryFile(), c.expected);
        SetRegistryFile("");
    }
}

#else
// On Windows the registry itself, under a key of the test's own.
using WinRegistry = testsupport::WinRegistryTest;

TEST_F(WinRegistry, BinaryValuesRoundTrip) {
    const std::vector<std::uint8_t> data = {0x54, 0x50, 0x46, 0x30, 0x00, 0xFF};
    {
        TRegIniFile reg("\\" + key);
        EXPECT_EQ(reg.GetDataSize("Items"), 0u);
        reg.WriteBinaryData("Items", data.data(), data.size());
    }
    TRegIniFile reg(key);
    EXPECT_EQ(reg.GetDataSize("Items"), data.size());
    EXPECT_EQ(reg.ReadBinaryData("Items"), data);
    reg.WriteBinaryData("Items", nullptr, 0);
    EXPECT_EQ(reg.GetDataSize("Items"), 0u);
}

TEST_F(WinRegistry, OpeningCreatesTheKeyWhateverTheSlashes) {
    for (const std::string& path : {"\\" + key, key + "\\", "\\" + key + "\\"}) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(KeyExists());
        EXPECT_EQ(TRegIniFile(path).GetDataSize("Items"), 0u);
        EXPECT_TRUE(KeyExists());
        EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
    }
}

TEST_F(WinRegistry, WritingReplacesAValueOfAnotherType) {
    SetRaw("Items", REG_SZ, "text", 5);
    const std::uint8_t data[] = {1, 2, 3};
    TRegIniFile reg(key);
    reg.WriteBinaryData("Items", data, sizeof data);
    DWORD type = 0, size = 0;
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(k, "Items", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(reg.ReadBinaryData("Items"), std::vector<std::uint8_t>({1, 2, 3}));
}

TEST_F(WinRegistry, ValuesKeepTheirTypes) {
    const DWORD one = 1;
    SetRaw("Str", REG_SZ, "abc", 4);
    SetRaw("Num", REG_DWORD, &one, sizeof one);
    TRegIniFile reg(key);
    EXPECT_EQ(reg.GetDataSize("Str"), 4u);
    EXPECT_EQ(reg.GetDataSize("Num"), 4u);
    for (const char* name : {"Str", "Num", "Missing"}) {
        try {
            reg.ReadBinaryData(name);
            ADD_FAILURE() << name << " read as binary";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), std::string("Invalid data type for '") + name + "'");
        }
    }
}
#endif

} // namespace
