// Recovery of the records of a damaged stored value.
#include "FavRecords.h"
#include "FavRecovery.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_set>

using favrecords::TRecord;

namespace {

enum : std::uint8_t { vaNull = 0x00, vaInt8 = 0x02, vaInt16 = 0x03, vaInt32 = 0x04 };
constexpr std::uint8_t vaString = 0x06, vaLString = 0x0C;

// Plain decimal digits that fit 32 bits.
bool IsNumber(std::string_view s) {
    if (s.empty() || s.size() > 10)
        return false;
    std::int64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    return v <= std::numeric_limits<std::int32_t>::max();
}

// Text free of control characters with the six fields of a record: fields 0 to 3 numbers,
// the type code 0 to 5.
bool IsRecordText(std::string_view text) {
    std::size_t start = 0;
    for (int k = 0; k < 5; ++k) {
        const std::size_t bar = text.find(favrecords::Sep, start);
        if (bar == std::string_view::npos)
            return false;
        const std::string_view field = text.substr(start, bar - start);
        if (k < 4 && !IsNumber(field))
            return false;
        if (k == 2 && std::stoi(std::string(field)) > fitGroup)
            return false;
        start = bar + 1;
    }
    return true;
}

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i)
        v |= std::uint32_t{bytes[at + static_cast<std::size_t>(i)]} << (8 * i);
    return v;
}

// The LastID property where it can still be read.
bool FindLastID(std::span<const std::uint8_t> bytes, std::int32_t& lastID) {
    static constexpr std::string_view Name = "\x06LastID";
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (std::size_t at = text.find(Name); at != std::string_view::npos;
         at = text.find(Name, at + 1)) {
        const std::size_t tagAt = at + Name.size();
        if (tagAt >= bytes.size())
            return false;
        const std::uint8_t tag = bytes[tagAt];
        const int size = tag == vaInt8 ? 1 : tag == vaInt16 ? 2 : tag == vaInt32 ? 4 : 0;
        if (size == 0 || tagAt + 1 + static_cast<std::size_t>(size) > bytes.size())
            continue;
        const std::uint32_t v = LittleEndian(bytes, tagAt + 1, size);
        lastID = size == 1   ? static_cast<std::int8_t>(v)
                 : size == 2 ? static_cast<std::int16_t>(v)
                             : static_cast<std::int32_t>(v);
        return true;
    }
    return false;
}

} // namespace

TRepairOutcome RepairFavoriteStream(std::span<const std::uint8_t> bytes, TFavoriteItems& into) {
    TRepairOutcome outcome;
    const std::size_t n = bytes.size();
    const auto textAt = [&](std::size_t at, std::size_t len) {
        return std::string_view(reinterpret_cast<const char*>(bytes.data()) + at, len);
    };

    std::vector<TRecord> records;
    std::unordered_set<std::int32_t> ids;
    std::size_t seenUntil = 0; // end of the text of the last entry counted as seen
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t tag = bytes[i];
        const std::size_t head = tag == vaString ? 2 : tag == vaLString ? 5 : 0;
        if (head == 0 || i + head > n) {
            ++i;
            continue;
        }
        const std::size_t start = i + head;
        const std::size_t declared = tag == vaString ? bytes[i + 1] : LittleEndian(bytes, i + 1, 4);
        // Entries hold no control characters, and every tag is one: where the text really
        // ends when the length was damaged.
        std::size_t plainEnd = start;
        while (plainEnd < n && bytes[plainEnd] >= 0x20)
            ++plainEnd;
        const std::size_t plain = plainEnd - start;
        const bool declaredFits = declared <= plain;
        const bool declaredIsRecord = declaredFits && IsRecordText(textAt(start, declared));
        const bool endsAtTag =
            declaredFits && (start + declared == n || bytes[start + declared] == vaNull ||
                             bytes[start + declared] == vaString ||
                             bytes[start + declared] == vaLString);
        std::size_t length = n; // none
        if (declaredIsRecord && endsAtTag)
            length = declared;
        else if (IsRecordText(textAt(start, plain)))
            length = plain;
        else if (declaredIsRecord)
            length = declared;

        if (plainEnd > seenUntil &&
            (length != n || textAt(start, plain).find(favrecords::Sep) != std::string_view::npos)) {
            ++outcome.Seen;
            seenUntil = plainEnd;
        }
        if (length == n) {
            ++i;
            continue;
        }
        TRecord record(textAt(start, length));
        if (ids.insert(record.Id()).second)
            records.push_back(std::move(record));
        i = start + length;
    }

    // Members of a group that is gone, and groups that only contain each other, move to the
    // top level.
    std::unordered_set<std::int32_t> groups;
    for (const TRecord& r : records)
        if (r.Type() == fitGroup)
            groups.insert(r.Id());
    for (TRecord& r : records)
        if (r.Parent() != 0 && !groups.count(r.Parent()))
            r.SetParent(0);
    favrecords::BreakParentLoops(records,
                                 [](const std::vector<std::size_t>& loop) { return loop.front(); });
    favrecords::MakePositionsUnique(records, [&](std::size_t a, std::size_t b) {
        return std::make_pair(records[a].Position(), a) < std::make_pair(records[b].Position(), b);
    });

    std::int32_t lastID = 0;
    outcome.LastIDRead = FindLastID(bytes, lastID);
    std::vector<std::string> lines;
    lines.reserve(records.size());
    for (const TRecord& r : records) {
        lastID = std::max(lastID, r.Id());
        lines.emplace_back(r.Text());
    }
    outcome.Recovered = static_cast<int>(lines.size());
    TStringList items(std::move(lines));
    items.Sort();
    into.SetItems(items);
    into.SetLastID(lastID);
    return outcome;
}
