// Small helpers shared by the test folders: byte strings and per-test folders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
inline Bytes B(std::initializer_list<int> bytes) {
    Bytes r;
    for (int b : bytes)
        r.push_back(static_cast<std::uint8_t>(b));
    return r;
}
inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An empty folder named after the running test (prefix + test name), made afresh.
inline std::filesystem::path FreshTestDir(const std::string& prefix) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) /
        (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The whole file as bytes in a string; empty when it cannot be read.
inline std::string ReadFileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32
// Windows registry tests work under a key of the running test's own, below
// HKEY_CURRENT_USER\Software\QuendleTests, so they never touch the user's favorites.
class WinRegistryTest : public ::testing::Test {
public:
    static constexpr const char* TestRoot = "Software\\QuendleTests";
    // The running test's key, relative to HKEY_CURRENT_USER.
    static std::string TestKeyName() {
        return std::string(TestRoot) + "\\" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }

protected:
    void SetUp() override {
        key = TestKeyName();
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, TestRoot);
    }
    // Writes a value with RegSetValueExA directly, of any type.
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) const {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &k, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    bool KeyExists() const {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }

    std::string key;
};
#endif

} // namespace testsupport
