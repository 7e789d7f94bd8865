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
// whatever it holds. The numbers are GetIntPart of fields 0 to 3.
class TRecord {
public:
    static constexpr int Fields = 6;

    explicit TRecord(std::string_view text);

    const std::string& Field(int k) const noexcept { return FFields[static_cast<std::size_t>(k)]; }
    // Replaces field k (0 to 5), adding empty fields in front when the record had fewer.
    void SetField(int k, std::string value);
    void SetParent(std::int32_t parent);
    void SetPosition(std::int32_t position);
    int Count() const noexcept { return FCount; }
    std::int32_t Parent() const noexcept { return FParent; }
    std::int32_t Position() const noexcept { return FPosition; }
    std::int32_t Type() const noexcept { return FType; }
    std::int32_t Id() const noexcept { return FId; }
    std::string Text() const;
    bool operator==(const TRecord&) const = default;

private:
    void Parse();

    std::array<std::string, Fields> FFields;
    int FCount = 0; // fields present; the last one keeps any further separators
    std::int32_t FParent = 0, FPosition = 0, FType = 0, FId = 0;
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
