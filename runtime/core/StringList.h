// A string list in the manner of the component runtime's: index-checked access,
// case-insensitive search and sort.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Compares two texts ignoring ASCII letter case (letters fold to upper case, as the
// runtime's CompareText does); <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b) noexcept;
// True when the texts are equal ignoring ASCII letter case.
bool SameText(std::string_view a, std::string_view b) noexcept;
// Upper-cases ASCII letters only.
std::string UpperCase(std::string_view s);

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines) : FLines(lines) {}
    explicit TStringList(std::vector<std::string> lines) : FLines(std::move(lines)) {}
    TStringList(const TStringList& other) : FLines(other.FLines) {}
    TStringList& operator=(const TStringList& other) {
        Assign(other);
        return *this;
    }

    int Count() const noexcept { return static_cast<int>(FLines.size()); }
    bool Empty() const noexcept { return FLines.empty(); }
    // Index-checked read; raises EStringListError outside 0..Count-1.
    const std::string& Get(int index) const;
    // Index-checked write; raises EStringListError outside 0..Count-1.
    void Put(int index, std::string s);
    const std::string& operator[](int index) const { return Get(index); }

    int Add(std::string s);
    // Inserts before index; index == Count appends. Raises EStringListError otherwise.
    void Insert(int index, std::string s);
    // Raises EStringListError outside 0..Count-1.
    void Delete(int index);
    void Clear() noexcept {
        FLines.clear();
        Changed();
    }
    void Assign(const TStringList& source) {
        FLines = source.FLines;
        Changed();
    }
    // Index of the first line equal to s ignoring letter case, or -1. A binary search
    // while the list is known to be sorted, a scan otherwise; the answer is the same.
    int IndexOf(std::string_view s) const noexcept;
    // Sorts ascending by CompareText; lines that compare equal keep their order. Free when
    // nothing changed since the last sort.
    void Sort();
    // True while no change has happened since the last Sort().
    bool IsSorted() const noexcept { return FSortedGeneration == FGeneration; }
    // Changes on every modification; lets owners cache what they derive from the lines.
    std::uint64_t Generation() const noexcept { return FGeneration; }

    const std::vector<std::string>& Lines() const noexcept { return FLines; }
    // Mutable access; counts as a change.
    std::vector<std::string>& Lines() noexcept {
        Changed();
        return FLines;
    }
    auto begin() const noexcept { return FLines.begin(); }
    auto end() const noexcept { return FLines.end(); }
    bool operator==(const TStringList& other) const { return FLines == other.FLines; }

private:
    void Changed() noexcept { ++FGeneration; }

    std::vector<std::string> FLines;
    std::uint64_t FGeneration = 1;
    std::uint64_t FSortedGeneration = 0;
};
