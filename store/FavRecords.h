// Store-internal helpers of the merge and the repair: a record cut into its fields, and the
// two repairs of a record set that both need (positions made unique, parent loops broken).
#pragma once

#include "FavUtils.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace favrecords {

inline constexpr char Sep = '|';

// An item record cut at its first five separators: joining the fields gives the record back,
// whatever it holds. The numbers are GetIntPart of fields 0 to 3. A record made from a
// string_view refers to that text until a field is set; the text must outlive it.
class TRecord {
public:
    static constexpr int Fields = 6;

    explicit TRecord(std::string_view text) : FText(text) { Parse(); }
    TRecord(const TRecord& other) { *this = other; }
    TRecord& operator=(const TRecord& other);
    TRecord(TRecord&& other) noexcept { *this = std::move(other); }
    TRecord& operator=(TRecord&& other) noexcept;

    std::string_view Field(int k) const noexcept {
        const TParsed& p = FParsed;
        if (k >= p.Count)
            return {};
        const std::size_t from = p.Start[static_cast<std::size_t>(k)];
        const std::size_t to =
            k + 1 < p.Count ? p.Start[static_cast<std::size_t>(k) + 1] - 1 : FText.size();
        return FText.substr(from, to - from);
    }
    // Replaces field k (0 to 5), adding empty fields in front when the record had fewer.
    void SetField(int k, std::string_view value);
    void SetParent(std::int32_t parent);
    void SetPosition(std::int32_t position);
    int Count() const noexcept { return FParsed.Count; }
    std::int32_t Parent() const noexcept { return FParsed.Parent; }
    std::int32_t Position() const noexcept { return FParsed.Position; }
    std::int32_t Type() const noexcept { return FParsed.Type; }
    std::int32_t Id() const noexcept { return FParsed.Id; }
    std::string_view Text() const noexcept { return FText; }
    bool operator==(const TRecord& other) const noexcept { return FText == other.FText; }

private:
    struct TParsed {
        std::array<std::uint32_t, Fields> Start{}; // where each field starts
        int Count = 0; // fields present; the last one keeps any further separators
        std::int32_t Parent = 0, Position = 0, Type = 0, Id = 0;
    };
    void Parse();
    // Becomes a copy of other, whose own text (if it has one) is `owned`.
    void Take(const TRecord& other, std::string owned) noexcept;

    std::string FOwned;     // the text once a field was set
    bool FIsOwned = false;
    std::string_view FText; // FOwned, or the text the record was made from
    TParsed FParsed;
};

// Gives the records at `order` (the children of one parent, in the order they are to have)
// increasing positions: kept when they increase already, else 0, 1, 2 ... A record without a
// position field is left as it is.
void Renumber(std::vector<TRecord>& records, const std::vector<std::size_t>& order);

// Gives the children of every parent increasing positions (see Renumber), in the order
// `before` puts them (a strict weak order on indices into records).
void MakePositionsUnique(std::vector<TRecord>& records,
                         const std::function<bool(std::size_t, std::size_t)>& before);

// Finds every loop of groups that are each other's parents (so never reach the top level)
// and asks pick for the index, among the loop's indices, of the group to move to the top
// level; pick returns records.size() to leave the loop alone.
void BreakParentLoops(std::vector<TRecord>& records,
                      const std::function<std::size_t(const std::vector<std::size_t>&)>& pick);

} // namespace favrecords
