// The collection in the component stream format: "TPF0", the class name, an empty component
// name, the properties "Items.Strings" (only when there are records) and "LastID", and the
// two closing zeros.
#include "FavUtils.h"

#include "Exception.h"

#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

namespace {

constexpr std::string_view Signature = "TPF0";
constexpr std::string_view ClassName = "TFavoriteItems";
constexpr std::string_view ItemsProperty = "Items.Strings";
constexpr std::string_view LastIDProperty = "LastID";

enum : std::uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaString = 0x06,
    vaLString = 0x0C,
};

// Fills a buffer whose exact size was computed beforehand.
class TStreamWriter {
public:
    explicit TStreamWriter(std::size_t size) : FBytes(size) {}
    void Byte(std::uint8_t b) { FBytes[FPos++] = b; }
    void Text(std::string_view s) {
        if (!s.empty())
            std::memcpy(FBytes.data() + FPos, s.data(), s.size());
        FPos += s.size();
    }
    void ShortString(std::string_view s) {
        Byte(static_cast<std::uint8_t>(s.size()));
        Text(s);
    }
    void LittleEndian(std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            Byte(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::vector<std::uint8_t> Take() && { return std::move(FBytes); }

private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPos = 0;
};

// Printable form of stream bytes for an error message.
std::string Quoted(std::string_view s) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string r = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            r += ch;
        } else {
            r += "\\x";
            r += Hex[c >> 4];
            r += Hex[c & 15];
        }
    }
    return r + "\"";
}

std::string HexByte(std::uint8_t b) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    return std::string("0x") + Hex[b >> 4] + Hex[b & 15];
}

// Bounds-checked reading: every read checks what is left and reports a short read.
class TStreamReader {
public:
    explicit TStreamReader(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

    std::size_t Offset() const noexcept { return FPos; }
    std::size_t Remaining() const noexcept { return FBytes.size() - FPos; }
    std::span<const std::uint8_t> Rest() const noexcept { return FBytes.subspan(FPos); }

    [[noreturn]] static void Fail(std::size_t offset, const std::string& what) {
        throw EReadError("Invalid favorites stream at offset " + std::to_string(offset) + ": " +
                         what);
    }

    std::span<const std::uint8_t> Bytes(std::size_t count, std::string_view what) {
        if (count > Remaining())
            Fail(FPos, std::string(what) + " needs " + std::to_string(count) + " bytes, only " +
                           std::to_string(Remaining()) + " left");
        const auto r = FBytes.subspan(FPos, count);
        FPos += count;
        return r;
    }
    std::string_view Text(std::size_t count, std::string_view what) {
        const auto b = Bytes(count, what);
        return {reinterpret_cast<const char*>(b.data()), b.size()};
    }
    std::uint8_t Byte(std::string_view what) { return Bytes(1, what)[0]; }
    std::int32_t Signed(int size, std::string_view what) {
        const auto b = Bytes(static_cast<std::size_t>(size), what);
        std::uint32_t v = 0;
        for (int i = 0; i < size; ++i)
            v |= std::uint32_t{b[static_cast<std::size_t>(i)]} << (8 * i);
        if (size == 1)
            return static_cast<std::int8_t>(v);
        if (size == 2)
            return static_cast<std::int16_t>(v);
        return static_cast<std::int32_t>(v);
    }
    std::string_view ShortString(std::string_view what) {
        const std::uint8_t len = Byte(what);
        return Text(len, what);
    }

private:
    std::span<const std::uint8_t> FBytes;
    std::size_t FPos = 0;
};

// The number of well-formed string entries at the start of `list`, so that the list of
// records is allocated once; the reading proper reports what is wrong after them.
std::size_t CountStrings(std::span<const std::uint8_t> list) noexcept {
    std::size_t count = 0, pos = 0;
    while (pos < list.size()) {
        std::size_t next;
        if (list[pos] == vaString && pos + 2 <= list.size()) {
            next = pos + 2 + list[pos + 1];
        } else if (list[pos] == vaLString && pos + 5 <= list.size()) {
            const std::uint32_t len = list[pos + 1] | (list[pos + 2] << 8) | (list[pos + 3] << 16) |
                                      (std::uint32_t{list[pos + 4]} << 24);
            if (len > std::uint32_t{std::numeric_limits<std::int32_t>::max()})
                break;
            next = pos + 5 + len;
        } else {
            break;
        }
        if (next > list.size())
            break;
        pos = next;
        ++count;
    }
    return count;
}

std::vector<std::string_view> ReadStrings(TStreamReader& r) {
    const std::size_t at = r.Offset();
    const std::uint8_t tag = r.Byte("list tag of Items.Strings");
    if (tag != vaList)
        TStreamReader::Fail(at,
                            "Items.Strings must be a list (tag 0x01), found tag " + HexByte(tag));
    std::vector<std::string_view> lines;
    lines.reserve(CountStrings(r.Rest()));
    for (;;) {
        const std::size_t entry = r.Offset();
        const std::uint8_t t = r.Byte("Items.Strings entry");
        if (t == vaNull)
            return lines;
        std::size_t len = 0;
        if (t == vaString) {
            len = r.Byte("length of a string");
        } else if (t == vaLString) {
            const std::int32_t n = r.Signed(4, "length of a long string");
            if (n < 0)
                TStreamReader::Fail(entry + 1, "negative string length " + std::to_string(n));
            len = static_cast<std::size_t>(n);
        } else {
            TStreamReader::Fail(entry, "Items.Strings entry has tag " + HexByte(t) +
                                           ", expected a string (0x06 or 0x0C)");
        }
        lines.emplace_back(r.Text(len, "string"));
    }
}

std::int32_t ReadInteger(TStreamReader& r) {
    const std::size_t at = r.Offset();
    const std::uint8_t tag = r.Byte("value tag of LastID");
    switch (tag) {
    case vaInt8:
        return r.Signed(1, "LastID value");
    case vaInt16:
        return r.Signed(2, "LastID value");
    case vaInt32:
        return r.Signed(4, "LastID value");
    default:
        TStreamReader::Fail(at, "LastID has tag " + HexByte(tag) +
                                    ", expected an integer (0x02, 0x03 or 0x04)");
    }
}

} // namespace

std::vector<std::uint8_t> WriteFavoriteStream(const TFavoriteItems& items) {
    const std::vector<std::string>& lines = items.Items().Lines();
    const std::int32_t id = items.LastID();
    const int idSize = (id >= -128 && id <= 127) ? 1 : (id >= -32768 && id <= 32767) ? 2 : 4;
    std::size_t size = Signature.size() + 1 + ClassName.size() + 1 + 1 + LastIDProperty.size() + 1 +
                       static_cast<std::size_t>(idSize) + 2;
    if (!lines.empty()) {
        size += 1 + ItemsProperty.size() + 2;
        for (const std::string& line : lines) {
            if (line.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                throw std::length_error("record too long for a component stream");
            size += line.size() + (line.size() <= 255 ? 2 : 5);
        }
    }

    TStreamWriter w(size);
    w.Text(Signature);
    w.ShortString(ClassName);
    w.ShortString(""); // the component name
    if (!lines.empty()) {
        w.ShortString(ItemsProperty);
        w.Byte(vaList);
        for (const std::string& line : lines) {
            if (line.size() <= 255) {
                w.Byte(vaString);
                w.Byte(static_cast<std::uint8_t>(line.size()));
            } else {
                w.Byte(vaLString);
                w.LittleEndian(static_cast<std::uint32_t>(line.size()), 4);
            }
            w.Text(line);
        }
        w.Byte(vaNull);
    }
    w.ShortString(LastIDProperty);
    w.Byte(idSize == 1 ? vaInt8 : idSize == 2 ? vaInt16 : vaInt32);
    w.LittleEndian(static_cast<std::uint32_t>(id), idSize);
    w.Byte(vaNull); // end of properties
    w.Byte(vaNull); // end of child components
    return std::move(w).Take();
}

TFavoriteStreamView ViewFavoriteStream(std::span<const std::uint8_t> bytes) {
    TStreamReader r(bytes);
    if (r.Text(Signature.size(), "signature") != Signature)
        TStreamReader::Fail(0, "signature \"TPF0\" expected");
    const std::size_t classAt = r.Offset();
    const std::string_view cls = r.ShortString("class name");
    if (cls != ClassName)
        TStreamReader::Fail(classAt, "class \"TFavoriteItems\" expected, found " + Quoted(cls));
    r.ShortString("component name");

    TFavoriteStreamView view;
    std::optional<std::vector<std::string_view>>& lines = view.Items;
    std::optional<std::int32_t>& lastID = view.LastID;
    for (;;) {
        const std::size_t at = r.Offset();
        const std::string_view name = r.ShortString("property name");
        if (name.empty())
            break;
        if (name == ItemsProperty) {
            if (lines)
                TStreamReader::Fail(at, "duplicate property \"Items.Strings\"");
            lines = ReadStrings(r);
        } else if (name == LastIDProperty) {
            if (lastID)
                TStreamReader::Fail(at, "duplicate property \"LastID\"");
            lastID = ReadInteger(r);
        } else {
            TStreamReader::Fail(at, "unknown property " + Quoted(name));
        }
    }
    const std::size_t childrenAt = r.Offset();
    const std::uint8_t children = r.Byte("end of child components");
    if (children != vaNull)
        TStreamReader::Fail(childrenAt, "child components are not supported");
    if (r.Remaining() != 0)
        TStreamReader::Fail(r.Offset(), std::to_string(r.Remaining()) +
                                            " bytes of trailing data after the end");
    return view;
}

void ReadFavoriteStream(std::span<const std::uint8_t> bytes, TFavoriteItems& items) {
    // Everything is parsed before the collection is touched.
    const TFavoriteStreamView view = ViewFavoriteStream(bytes);
    if (view.Items)
        items.Items().Lines().assign(view.Items->begin(), view.Items->end());
    if (view.LastID)
        items.SetLastID(*view.LastID);
}
