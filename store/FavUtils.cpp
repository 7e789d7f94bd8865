#include "FavUtils.h"

#include "Exception.h"
#include "Paths.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

namespace {

constexpr char Sep = '|';

// The text of field `index`: what GetPart returns, without a copy. A plain loop: records are
// short, and finding each separator by a library search costs more than looking at each byte.
std::string_view FieldView(std::string_view text, std::uint8_t index, char separator) noexcept {
    std::size_t i = 0;
    for (unsigned k = 0; k < index; ++i) {
        if (i == text.size())
            return {};
        if (text[i] == separator)
            ++k;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != separator)
        ++end;
    return text.substr(i, end - i);
}

// Everything from the separator in front of field 2 on: what travels with an item when its
// parent and position change.
std::string_view FromTypeField(std::string_view record) noexcept {
    const std::size_t first = record.find(Sep);
    const std::size_t second =
        first == std::string_view::npos ? first : record.find(Sep, first + 1);
    return second == std::string_view::npos ? std::string_view() : record.substr(second);
}

// FNV-1a over the upper-cased bytes: equal ignoring case gives equal hashes.
std::uint64_t FoldedHash(std::string_view s) noexcept {
    std::uint64_t h = 1469598103934665603ull;
    for (const char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - ('a' - 'A'));
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

// Answers "first record equal to this text, ignoring case" inside one run of the item list
// while the run's records are being rewritten.
class TRunLookup {
public:
    TRunLookup(const std::vector<std::string>& lines, int first, int last) : FLines(lines) {
        FHashes.reserve(static_cast<std::size_t>(last - first));
        FByHash.reserve(static_cast<std::size_t>(last - first));
        FFirst = first;
        for (int i = first; i < last; ++i) {
            const std::uint64_t h = FoldedHash(lines[static_cast<std::size_t>(i)]);
            FHashes.push_back(h);
            FByHash.emplace(h, i);
        }
    }

    // Index of the first record equal to text ignoring case, or -1.
    int First(std::string_view text) const {
        int best = -1;
        const auto [from, to] = FByHash.equal_range(FoldedHash(text));
        for (auto it = from; it != to; ++it)
            if ((best == -1 || it->second < best) &&
                SameText(FLines[static_cast<std::size_t>(it->second)], text))
                best = it->second;
        return best;
    }

    // Record at index is about to become text.
    void Replace(int index, std::string_view text) {
        std::uint64_t& h = FHashes[static_cast<std::size_t>(index - FFirst)];
        const std::uint64_t nh = FoldedHash(text);
        if (nh == h)
            return;
        auto [from, to] = FByHash.equal_range(h);
        for (auto it = from; it != to; ++it)
            if (it->second == index) {
                FByHash.erase(it);
                break;
            }
        h = nh;
        FByHash.emplace(nh, index);
    }

private:
    const std::vector<std::string>& FLines;
    int FFirst = 0;
    std::vector<std::uint64_t> FHashes;
    std::unordered_multimap<std::uint64_t, int> FByHash;
};

} // namespace

bool TryStrToInt(std::string_view s, std::int32_t& value) noexcept {
    std::size_t i = 0;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size())
        return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::string GetPart(std::string_view text, std::uint8_t index, char separator) {
    return std::string(FieldView(text, index, separator));
}

std::int32_t GetIntPart(std::string_view text, std::uint8_t index, char separator) {
    return FieldInt(FieldView(text, index, separator));
}

std::array<std::string_view, 6> RecordFields(std::string_view record) noexcept {
    std::array<std::string_view, 6> fields;
    std::size_t start = 0;
    for (std::size_t f = 0; f < fields.size() && start <= record.size(); ++f) {
        std::size_t end = start;
        if (f < 4) { // short numbers: a plain loop is quicker than a library search
            while (end < record.size() && record[end] != Sep)
                ++end;
        } else {
            end = std::min(record.find(Sep, start), record.size());
        }
        fields[f] = record.substr(start, end - start);
        start = end + 1;
    }
    return fields;
}

std::int32_t FieldInt(std::string_view field) noexcept {
    std::int32_t v = 0;
    return TryStrToInt(field, v) ? v : 0;
}

std::string IntToStrLen(std::int32_t value, int len) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < len)
        s.insert(0, static_cast<std::size_t>(len) - s.size(), '0');
    return s;
}

int GetFileItemType(std::string_view fileName) {
    const std::string ext = UpperCase(ExtractFileExt(fileName));
    if (ext == ".BPG" || ext == ".DPR")
        return fitProject;
    if (ext == ".DPK")
        return fitPackage;
    if (ext == ".PAS")
        return fitUnit;
    return fitFile;
}

bool FolderExists(const std::string& path) {
    return DirectoryExists(path);
}

bool IsBlank(std::string_view text) noexcept {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

std::string KindWord(int itemType) {
    static const char* const Words[] = {"Project", "Library", "Unit", "File", "Folder"};
    return itemType >= fitProject && itemType <= fitFolder ? Words[itemType] : std::string();
}

std::string RecordWithPath(std::string_view record, std::string_view path) {
    std::string changed;
    changed.reserve(record.size() + path.size());
    for (std::uint8_t f = 0; f < 4; ++f) {
        changed += FieldView(record, f, Sep);
        changed += Sep;
    }
    changed += path;
    changed += Sep;
    changed += FieldView(record, 5, Sep);
    return changed;
}

int KindClass(int itemType) {
    return itemType >= fitProject && itemType <= fitGroup ? itemType / 2 : -1;
}

bool SameKindClass(int a, int b) {
    return KindClass(a) >= 0 && KindClass(a) == KindClass(b);
}

std::string ItemCaption(std::string_view record) {
    const std::string_view alias = FieldView(record, 5, Sep);
    return std::string(IsBlank(alias) ? FieldView(record, 4, Sep) : alias);
}

std::string RecordAlias(std::string_view record) {
    const std::size_t bar = record.rfind(Sep);
    return std::string(bar == std::string_view::npos ? record : record.substr(bar + 1));
}

TFavoriteItems::TFavoriteItems() = default;
TFavoriteItems::~TFavoriteItems() = default;

void TFavoriteItems::Assign(const TFavoriteItems& source) {
    FItems.Assign(source.FItems);
    FLastID = source.FLastID;
}

TFavoriteItems::TParentRun TFavoriteItems::FindChildren(std::int32_t parentId) {
    FItems.Sort();
    if (FRunsGeneration != FItems.Generation()) {
        const std::vector<std::string>& lines = std::as_const(FItems).Lines();
        const int n = static_cast<int>(lines.size());
        FRuns.clear();
        // After a sort the records' texts lie scattered in memory: ask for them ahead.
        std::vector<std::int32_t> parents(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i + PrefetchDistance < lines.size())
                Prefetch(lines[i + PrefetchDistance].data());
            parents[i] = GetIntPart(lines[i], 0, Sep);
        }
        for (int i = 0; i < n;) {
            const std::int32_t parent = parents[static_cast<std::size_t>(i)];
            int j = i + 1;
            while (j < n && parents[static_cast<std::size_t>(j)] == parent)
                ++j;
            FRuns.push_back({parent, i, j});
            i = j;
        }
        // Malformed parent fields can split a parent's records; only its first run counts.
        std::stable_sort(FRuns.begin(), FRuns.end(), [](const TParentRun& a, const TParentRun& b) {
            return a.Parent < b.Parent;
        });
        FRuns.erase(std::unique(FRuns.begin(), FRuns.end(),
                                [](const TParentRun& a, const TParentRun& b) {
                                    return a.Parent == b.Parent;
                                }),
                    FRuns.end());
        FRunsGeneration = FItems.Generation();
    }
    const auto it =
        std::lower_bound(FRuns.begin(), FRuns.end(), parentId,
                         [](const TParentRun& run, std::int32_t id) { return run.Parent < id; });
    if (it == FRuns.end() || it->Parent != parentId)
        return {parentId, 0, 0};
    return *it;
}

int TFavoriteItems::MakeRoom(int itemType, int parentId) {
    // The children as they were before renumbering (GetSubItems' list is not refilled below).
    const std::vector<std::string>& children = std::as_const(GetSubItems(parentId)).Lines();
    const TParentRun run = FindChildren(parentId);
    const int n = static_cast<int>(children.size());

    int result = -1;
    if (n > 0) {
        // Equal records sort together, so the first record equal to a child lies in the run.
        TRunLookup lookup(std::as_const(FItems).Lines(), run.First, run.Last);
        for (int i = 0; i < n; ++i) {
            const std::string& child = children[static_cast<std::size_t>(i)];
            int position = i;
            if (GetIntPart(child, 2, Sep) > itemType) {
                if (result == -1)
                    result = i;
                position = i + 1;
            }
            const int index = lookup.First(child);
            std::string record = FItems.Get(index);
            const std::string digits = IntToStrLen(position, 3);
            const std::size_t bar = record.find(Sep);
            if (bar != std::string::npos)
                for (std::size_t k = 0; k < 3 && bar + 1 + k < record.size(); ++k)
                    record[bar + 1 + k] = digits[k];
            lookup.Replace(index, record);
            FItems.Put(index, std::move(record));
        }
    }
    return result == -1 ? n : result;
}

int TFavoriteItems::AddItem(int itemType, int parentId, const std::string& path,
                            const std::string& alias) {
    const int result = MakeRoom(itemType, parentId);
    ++FLastID;
    std::string record = IntToStrLen(parentId, 9);
    record.reserve(record.size() + path.size() + alias.size() + 20);
    record += Sep;
    record += IntToStrLen(result, 3);
    record += Sep;
    record += std::to_string(itemType);
    record += Sep;
    record += std::to_string(FLastID);
    record += Sep;
    record += path;
    record += Sep;
    record += alias;
    FItems.Add(std::move(record));
    return result;
}

int TFavoriteItems::MoveItem(const std::string& record, int parentId) {
    FItems.Delete(FItems.IndexOf(record));
    const int position = MakeRoom(GetIntPart(record, 2, Sep), parentId);
    std::string moved = IntToStrLen(parentId, 9);
    moved += Sep;
    moved += IntToStrLen(position, 3);
    moved += FromTypeField(record);
    FItems.Add(std::move(moved));
    return position;
}

int TFavoriteItems::AddItems(int& parentId, TStringList* request) {
    Assert(request != nullptr, "Error in adding items (ItemsError)", std::string(FavUtilsUnitName));
    std::int32_t itemType = -1;
    if (!TryStrToInt(request->Get(0), itemType))
        itemType = -1;
    Assert(itemType != -1, "Error in adding items (ItemType Error)", std::string(FavUtilsUnitName));

    const std::string alias = request->Get(1);
    const std::string path = itemType != fitGroup ? request->Get(2) : std::string();
    const int position = AddItem(itemType, parentId, path, alias);

    if (itemType == fitGroup) {
        parentId = FLastID;
        const std::string prefix = IntToStrLen(parentId, 9) + Sep;
        request->Delete(0);
        request->Delete(0);
        for (std::string& line : request->Lines())
            line = std::to_string(GetFileItemType(line)) + Sep + line;
        request->Sort();
        const std::vector<std::string>& files = std::as_const(*request).Lines();
        for (std::size_t i = 0; i < files.size(); ++i) {
            ++FLastID;
            const std::string_view fileName = FieldView(files[i], 1, Sep);
            FItems.Add(prefix + IntToStrLen(static_cast<std::int32_t>(i), 3) + Sep +
                       std::string(FieldView(files[i], 0, Sep)) + Sep + std::to_string(FLastID) +
                       Sep + std::string(fileName) + Sep + ExtractFileName(fileName));
        }
    }
    return position;
}

std::string TFavoriteItems::ChangeAlias(const std::string& record, const std::string& alias) {
    const int index = FItems.IndexOf(record);
    const std::size_t bar = record.rfind(Sep);
    std::string changed =
        (bar == std::string::npos ? std::string() : record.substr(0, bar + 1)) + alias;
    FItems.Put(index, changed);
    return changed;
}

std::string TFavoriteItems::ChangeFileName(const std::string& record, const std::string& path) {
    const int index = FItems.IndexOf(record);
    std::string changed = RecordWithPath(record, path);
    FItems.Put(index, changed);
    return changed;
}

std::string TFavoriteItems::GetItem(int index) const {
    return FItems.Get(index);
}

void TFavoriteItems::SetItem(int index, const std::string& record) {
    FItems.Put(index, record);
}

void TFavoriteItems::SetItems(const TStringList& items) {
    FItems.Assign(items);
}

TStringList& TFavoriteItems::GetSubItems(int parentId) {
    const std::span<const std::string> children = SubItemsView(parentId);
    FSubItems.Lines().assign(children.begin(), children.end());
    return FSubItems;
}

std::span<const std::string> TFavoriteItems::SubItemsView(int parentId) {
    const TParentRun run = FindChildren(parentId);
    return std::span<const std::string>(std::as_const(FItems).Lines())
        .subspan(static_cast<std::size_t>(run.First),
                 static_cast<std::size_t>(run.Last - run.First));
}

TStringList& TFavoriteItems::GetSubGroups(int parentId) {
    const std::vector<std::string>& children = std::as_const(GetSubItems(parentId)).Lines();
    std::vector<std::string>& groups = FSubGroups.Lines();
    groups.clear();
    for (const std::string& child : children)
        if (GetIntPart(child, 2, Sep) == fitGroup)
            groups.push_back(child);
    return FSubGroups;
}

TStringList& TFavoriteItems::GetOnlyItems() {
    FItems.Sort();
    const std::vector<std::string>& lines = std::as_const(FItems).Lines();
    // Projects, packages, units, files, folders: each block in list order.
    constexpr int Kinds = fitFolder + 1;
    std::vector<std::int8_t> kinds(lines.size());
    std::size_t offsets[Kinds + 1] = {};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::int32_t t = GetIntPart(lines[i], 2, Sep);
        kinds[i] = (t >= 0 && t < Kinds) ? static_cast<std::int8_t>(t) : std::int8_t{-1};
        if (kinds[i] >= 0)
            ++offsets[kinds[i] + 1];
    }
    for (int k = 1; k <= Kinds; ++k)
        offsets[k] += offsets[k - 1];
    // Every slot is overwritten; keeping the old strings reuses their buffers.
    std::vector<std::string>& result = FOnlyItems.Lines();
    result.resize(offsets[Kinds]);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (kinds[i] >= 0)
            result[offsets[kinds[i]]++] = lines[i];
    return FOnlyItems;
}

const std::string* TFavoriteItems::FindItem(std::int32_t id) const {
    for (const std::string& record : FItems)
        if (GetIntPart(record, 3, Sep) == id)
            return &record;
    return nullptr;
}

bool TFavoriteItems::HasSubItems(const std::string& record) const {
    if (GetIntPart(record, 2, Sep) != fitGroup)
        return false;
    const std::int32_t id = GetIntPart(record, 3, Sep);
    for (const std::string& line : FItems)
        if (GetIntPart(line, 0, Sep) == id)
            return true;
    return false;
}

void TFavoriteItems::ExchangeItems(std::string& a, std::string& b) {
    const int indexA = FItems.IndexOf(a);
    const int indexB = FItems.IndexOf(b);
    // Both must exist before either is written.
    FItems.Get(indexA);
    FItems.Get(indexB);

    auto place = [](const std::string& r) {
        std::string s(FieldView(r, 0, Sep));
        s += Sep;
        s += FieldView(r, 1, Sep);
        return s;
    };
    std::string newA = place(a);
    newA += FromTypeField(b);
    std::string newB = place(b);
    newB += FromTypeField(a);
    FItems.Put(indexA, newA);
    FItems.Put(indexB, newB);
    a = std::move(newA);
    b = std::move(newB);
}

TItemIndex::TItemIndex(const TStringList& items) : FItems(items) {
    FEntries.reserve(static_cast<std::size_t>(items.Count()));
    for (int i = 0; i < items.Count(); ++i)
        FEntries.push_back({GetIntPart(items[i], 3, Sep), i});
    std::sort(FEntries.begin(), FEntries.end());
}

int TItemIndex::First(std::string_view record) const {
    // Texts equal ignoring case hold the same digits, so they carry the same id.
    const std::int32_t id = GetIntPart(record, 3, Sep);
    for (auto it = std::lower_bound(FEntries.begin(), FEntries.end(), TEntry{id, 0});
         it != FEntries.end() && it->Id == id; ++it)
        if (SameText(FItems[it->Index], record))
            return it->Index;
    return -1;
}

void TItemIndex::Replace(int index, std::string_view record) {
    const std::int32_t old = GetIntPart(FItems[index], 3, Sep);
    const std::int32_t id = GetIntPart(record, 3, Sep);
    if (id == old)
        return;
    FEntries.erase(std::lower_bound(FEntries.begin(), FEntries.end(), TEntry{old, index}));
    FEntries.insert(std::lower_bound(FEntries.begin(), FEntries.end(), TEntry{id, index}),
                    TEntry{id, index});
}

std::string TFavoriteItems::GetSection() const {
    return "\\Favorites";
}
