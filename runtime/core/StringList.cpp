#include "StringList.h"

#include "Exception.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {
inline unsigned char FoldUpper(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}
} // namespace

int CompareText(std::string_view a, std::string_view b) noexcept {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldUpper(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldUpper(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(FoldUpper(static_cast<unsigned char>(c)));
    return r;
}

const std::string& TStringList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError(index);
    return FLines[static_cast<size_t>(index)];
}

void TStringList::Put(int index, std::string s) {
    if (index < 0 || index >= Count())
        throw EStringListError(index);
    FLines[static_cast<size_t>(index)] = std::move(s);
    Changed();
}

int TStringList::Add(std::string s) {
    FLines.push_back(std::move(s));
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int index, std::string s) {
    if (index < 0 || index > Count())
        throw EStringListError(index);
    FLines.insert(FLines.begin() + index, std::move(s));
    Changed();
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EStringListError(index);
    FLines.erase(FLines.begin() + index);
    Changed();
}

int TStringList::IndexOf(std::string_view s) const noexcept {
    if (IsSorted()) {
        // Equal lines sit together in a sorted list, so the lower bound is the first of them.
        const auto it = std::lower_bound(FLines.begin(), FLines.end(), s,
                                         [](const std::string& line, std::string_view key) {
                                             return CompareText(line, key) < 0;
                                         });
        return (it != FLines.end() && SameText(*it, s)) ? static_cast<int>(it - FLines.begin())
                                                        : -1;
    }
    for (size_t i = 0; i < FLines.size(); ++i)
        if (SameText(FLines[i], s))
            return static_cast<int>(i);
    return -1;
}

void TStringList::Sort() {
    if (IsSorted())
        return;
    // The first 16 bytes, letters folded, as two big-endian numbers: they order two lines as
    // CompareText does unless they are equal (a shorter line reads as if padded with zeros),
    // and records, whose leading fields have fixed widths, nearly always differ there.
    struct TKey {
        std::uint64_t Hi, Lo;
        std::uint32_t Index;
    };
    const std::size_t n = FLines.size();
    std::vector<TKey> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& line = FLines[i];
        std::uint64_t part[2] = {0, 0};
        for (std::size_t k = 0; k < 16 && k < line.size(); ++k)
            part[k / 8] |= std::uint64_t{FoldUpper(static_cast<unsigned char>(line[k]))}
                           << (8 * (7 - k % 8));
        keys[i] = {part[0], part[1], static_cast<std::uint32_t>(i)};
    }
    // Equal texts keep their order: the index decides last.
    const auto less = [this](const TKey& a, const TKey& b) {
        if (a.Hi != b.Hi)
            return a.Hi < b.Hi;
        if (a.Lo != b.Lo)
            return a.Lo < b.Lo;
        if (const int c = CompareText(FLines[a.Index], FLines[b.Index]); c != 0)
            return c < 0;
        return a.Index < b.Index;
    };
    if (!std::is_sorted(keys.begin(), keys.end(), less)) {
        std::sort(keys.begin(), keys.end(), less);
        // Put each line where its key went, following the cycles of the permutation.
        constexpr std::uint32_t Placed = std::numeric_limits<std::uint32_t>::max();
        for (std::size_t start = 0; start < n; ++start) {
            if (keys[start].Index == Placed)
                continue;
            std::string first = std::move(FLines[start]);
            std::size_t at = start;
            for (;;) {
                const std::size_t from = std::exchange(keys[at].Index, Placed);
                if (from == start) {
                    FLines[at] = std::move(first);
                    break;
                }
                FLines[at] = std::move(FLines[from]);
                at = from;
            }
        }
    }
    FSortedGeneration = FGeneration;
}
