// Item records for tests and benchmarks, written as the store writes them.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

// parent|position|type|id|path|alias, parent zero-filled to 9 digits and position to 3.
inline std::string Record(int parent, int position, int type, int id, std::string_view path,
                          std::string_view alias) {
    const auto filled = [](int value, std::size_t digits) {
        std::string s = std::to_string(value);
        return s.size() < digits ? std::string(digits - s.size(), '0') + s : s;
    };
    std::string record = filled(parent, 9) + '|' + filled(position, 3) + '|' +
                         std::to_string(type) + '|' + std::to_string(id) + '|';
    record += path;
    record += '|';
    record += alias;
    return record;
}

} // namespace testsupport
