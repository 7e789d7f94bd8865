// Collections for the benchmarks: records in nested groups, shuffled as after adds.
#pragma once

#include "FavUtils.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline std::string Record(int parent, int pos, int type, int id, const std::string& path,
                          const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(pos, 3) + "|" + std::to_string(type) + "|" +
           std::to_string(id) + "|" + path + "|" + alias;
}

// `total` records: `groups` top-level groups sharing the rest, children in type order; group 1
// can be given `firstGroupChildren` children. Ids run from 1 to total.
inline std::vector<std::string> MakeRecords(int total, int groups, int firstGroupChildren = 0) {
    std::vector<std::string> r;
    int id = 0;
    for (int g = 0; g < groups; ++g)
        r.push_back(Record(0, g, 5, ++id, "", "Group " + std::to_string(g)));
    const int perGroup = firstGroupChildren > 0
                             ? (total - groups - firstGroupChildren) / (groups - 1)
                             : (total - groups) / groups;
    const char* exts[] = {".dpr", ".dpk", ".pas", ".txt"};
    for (int g = 1; g <= groups; ++g) {
        const int count = (g == 1 && firstGroupChildren > 0) ? firstGroupChildren : perGroup;
        for (int i = 0; i < count; ++i) {
            const int type = i * 5 / count; // 0..4 in order
            const std::string name = "Unit" + std::to_string(id + 1) + (type < 4 ? exts[type] : "");
            r.push_back(Record(g, i, type, ++id,
                               "/home/developer/projects/sample" + std::to_string(g) + "/" + name,
                               name));
        }
    }
    while (static_cast<int>(r.size()) < total)
        r.push_back(
            Record(0, groups + static_cast<int>(r.size()), 3, ++id, "/tmp/extra.txt", "extra.txt"));
    std::shuffle(r.begin(), r.end(), std::mt19937(1));
    return r;
}

inline void Load(TFavoriteItems& items, std::vector<std::string> records) {
    items.SetLastID(static_cast<std::int32_t>(records.size()));
    items.Items().Lines() = std::move(records);
}

} // namespace bench
