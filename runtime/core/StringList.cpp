#include "StringList.h"

#include "Exception.h"

#include <algorithm>

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
    std::stable_sort(FLines.begin(), FLines.end(), [](const std::string& a, const std::string& b) {
        return CompareText(a, b) < 0;
    });
    FSortedGeneration = FGeneration;
}
