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

} // namespace testsupport
