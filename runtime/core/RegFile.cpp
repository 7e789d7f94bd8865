#include "RegFile.h"

#include "Exception.h"
#include "StringList.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::string_view HeaderVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view HeaderRegedit4 = "REGEDIT4";
// The registry editor breaks a hex line once it reaches this many characters.
constexpr std::size_t HexLineLimit = 77;

[[noreturn]] void Fail(std::size_t line, const std::string& what) {
    throw ERegistryException("line " + std::to_string(line) + ": " + what);
}

// ---- Text encodings ------------------------------------------------------------------------

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// UTF-16LE units (an even number of bytes) to UTF-8, into `out`; unpaired surrogates are
// kept as they are.
void DecodeUtf16(std::span<const std::uint8_t> bytes, std::string& out) {
    out.clear();
    const std::size_t n = bytes.size() / 2;
    const auto unit = [&](std::size_t k) {
        return static_cast<std::uint32_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    };
    for (std::size_t k = 0; k < n; ++k) {
        std::uint32_t cp = unit(k);
        if (cp >= 0xD800 && cp <= 0xDBFF && k + 1 < n) {
            const std::uint32_t low = unit(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++k;
            }
        }
        AppendUtf8(out, cp);
    }
}

void AppendUtf16(std::vector<std::uint8_t>& out, std::string_view text) {
    const auto unit = [&](std::uint32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t len = DecodeUtf8(text, i, true, cp);
        if (len == 0) { // not UTF-8: the byte as Latin-1, as the reader takes it
            cp = static_cast<unsigned char>(text[i]);
            len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
}

// ---- Parsing -------------------------------------------------------------------------------

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

constexpr int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// ---- Reading lines -------------------------------------------------------------------------

std::atomic<std::size_t> gReadPiece{0}; // see regfile_testing::ReadInPiecesOf

// Where the bytes of a .reg file come from: fills the buffer, returns how many bytes it put
// there, 0 at the end.
using TByteReader = std::function<std::size_t(std::uint8_t*, std::size_t)>;

// The lines of a .reg file, one at a time, from bytes read in chunks: a large file is never
// held whole, neither as bytes nor as text. The first bytes tell the encoding, as the registry
// editor does: UTF-16LE with or without a byte-order mark, else 8-bit text.
class TLineSource {
public:
    TLineSource(TByteReader read, std::size_t size) : FRead(std::move(read)), FSize(size) {
        FBuf.resize(Chunk);
        while (FEnd < 3 && Fill()) {
        }
        const auto at = [&](std::size_t i) { return i < FEnd ? FBuf[i] : std::uint8_t{0}; };
        if (FEnd >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
            FUnit = 2;
            FBegin = 2;
        } else if (FEnd >= 2 && at(0) != 0 && at(1) == 0) {
            FUnit = 2; // UTF-16LE that lost its byte-order mark
        } else if (FEnd >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
            FBegin = 3;
        }
        FScan = FBegin;
    }

    bool Wide() const noexcept { return FUnit == 2; }
    // True when the source gave no byte at all.
    bool Empty() const noexcept { return FConsumed == 0; }
    // The number of the current line, counted from 1; past the end, one more than the last.
    std::size_t LineNo() const noexcept { return FLineNo; }
    // At most this many bytes follow the current line.
    std::size_t Ahead() const noexcept {
        return (FSize > FConsumed ? FSize - FConsumed : 0) + (FEnd - FBegin);
    }

    // Moves to the next line; false at the end of the text.
    bool Next() {
        for (;;) {
            const std::size_t whole = FEnd - (FEnd - FBegin) % FUnit; // complete units only
            const std::size_t end = FindLineEnd(whole);
            if (end != NoEnd) {
                const bool cr = FBuf[end] == '\r';
                if (cr && end + FUnit >= whole && !FEof) { // is an LF next?
                    Refill();
                    continue;
                }
                std::size_t next = end + FUnit;
                if (cr && next + FUnit <= whole && IsUnit(next, '\n'))
                    next += FUnit;
                return Take(end, next);
            }
            if (!FEof) {
                FScan = whole;
                Refill();
                continue;
            }
            if (FBegin == FEnd) {
                if (!FAtEnd)
                    ++FLineNo;
                FAtEnd = true;
                return false;
            }
            if (whole != FEnd) {
                ++FLineNo;
                Fail(FLineNo, "the UTF-16 text ends in half a character");
            }
            return Take(FEnd, FEnd);
        }
    }

    // The current line as it is in the file, without its line end.
    std::span<const std::uint8_t> Raw() const noexcept {
        return std::span<const std::uint8_t>(FBuf).subspan(FLine, FLineEnd - FLine);
    }
    // The current line from its `from`-th byte on, as UTF-8 (valid until the next line).
    std::string_view Text(std::size_t from = 0) {
        const std::span<const std::uint8_t> raw = Raw().subspan(from);
        if (Wide()) {
            DecodeUtf16(raw, FText);
        } else {
            // UTF-8 sequences hold no line ends, so a line decodes as it would in the whole.
            FText = Utf8FromBytes(AsText(raw));
        }
        return FText;
    }

private:
    static constexpr std::size_t Chunk = 1 << 18;
    static constexpr std::size_t NoEnd = static_cast<std::size_t>(-1);

    bool IsUnit(std::size_t i, char c) const noexcept {
        return FBuf[i] == static_cast<std::uint8_t>(c) && (FUnit == 1 || FBuf[i + 1] == 0);
    }

    // Where the next CR or LF unit is, as far as searched.
    struct TNextUnit {
        std::size_t At = NoEnd;     // found here, or NoEnd
        std::size_t SearchedTo = 0; // none in [FScan, SearchedTo) when At is NoEnd
    };

    std::size_t FindUnit(TNextUnit& next, std::uint8_t c, std::size_t limit) {
        if (next.At != NoEnd && next.At >= FScan)
            return next.At;
        std::size_t from = std::max(FScan, next.SearchedTo);
        next.At = NoEnd;
        while (from < limit) {
            const void* hit = std::memchr(FBuf.data() + from, c, limit - from);
            if (!hit)
                break;
            const auto i =
                static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - FBuf.data());
            // In UTF-16 the byte must start a unit whose other byte is 0.
            if ((i - FBegin) % FUnit == 0 && IsUnit(i, static_cast<char>(c))) {
                next.At = next.SearchedTo = i;
                return i;
            }
            from = i + 1;
        }
        next.SearchedTo = limit;
        return NoEnd;
    }

    // The first CR or LF unit in [FScan, limit), which holds whole units only. Each kind is
    // remembered apart, so a text with only one kind of line end is still searched once.
    std::size_t FindLineEnd(std::size_t limit) {
        return std::min(FindUnit(FNextCR, '\r', limit), FindUnit(FNextLF, '\n', limit));
    }

    bool Take(std::size_t end, std::size_t next) {
        FLine = FBegin;
        FLineEnd = end;
        FBegin = FScan = next;
        ++FLineNo;
        return true;
    }

    // Reads more bytes; false at the end.
    bool Fill() {
        if (FEnd == FBuf.size())
            FBuf.resize(2 * FBuf.size()); // a line longer than the buffer
        std::size_t room = FBuf.size() - FEnd;
        if (const std::size_t piece = gReadPiece.load(); piece > 0)
            room = std::min(room, piece);
        const std::size_t n = FRead(FBuf.data() + FEnd, room);
        FEnd += n;
        FConsumed += n;
        FEof = n == 0;
        return n != 0;
    }

    // Keeps the unread part, moved to the front, and reads more after it.
    void Refill() {
        if (FBegin > 0) {
            std::memmove(FBuf.data(), FBuf.data() + FBegin, FEnd - FBegin);
            const auto shift = [&](TNextUnit& next) {
                next.At = next.At != NoEnd && next.At >= FBegin ? next.At - FBegin : NoEnd;
                next.SearchedTo = next.SearchedTo >= FBegin ? next.SearchedTo - FBegin : 0;
            };
            shift(FNextCR);
            shift(FNextLF);
            FScan -= FBegin;
            FEnd -= FBegin;
            FBegin = 0;
        }
        Fill();
    }

    TByteReader FRead;
    std::size_t FSize;
    std::size_t FConsumed = 0;
    std::vector<std::uint8_t> FBuf;
    std::size_t FBegin = 0, FEnd = 0, FScan = 0;
    std::size_t FLine = 0, FLineEnd = 0;
    TNextUnit FNextCR, FNextLF;
    std::size_t FUnit = 1;
    std::size_t FLineNo = 0;
    bool FEof = false, FAtEnd = false;
    std::string FText;
};

// Values of hex digits, -1 for other bytes.
constexpr std::array<std::int8_t, 256> HexValues = [] {
    std::array<std::int8_t, 256> v{};
    for (int c = 0; c < 256; ++c)
        v[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(HexDigit(static_cast<char>(c)));
    return v;
}();

// Leading blanks and "hh," runs of a hex line, as the registry editor writes them, read
// straight from the file's bytes (units of Unit bytes, little-endian) into `data`; returns
// how many bytes they took. What follows goes through the general parse, which would read
// these bytes the same way, only slower.
template <std::size_t Unit>
std::size_t TakeHexRun(std::span<const std::uint8_t> raw, std::vector<std::uint8_t>& data) {
    // The high byte of every unit of a UTF-16 triplet must be 0.
    const auto plain = [](const std::uint8_t* p, std::size_t units) {
        std::uint8_t high = 0;
        for (std::size_t k = 1; Unit == 2 && k < 2 * units; k += 2)
            high |= p[k];
        return high == 0;
    };
    std::size_t i = 0;
    while (i + Unit <= raw.size() && (raw[i] == ' ' || raw[i] == '\t') && plain(&raw[i], 1))
        i += Unit;
    constexpr std::size_t Step = 3 * Unit;
    const std::size_t start = data.size();
    data.resize(start + (raw.size() - i) / Step);
    std::uint8_t* out = data.data() + start;
    for (; i + Step <= raw.size(); i += Step) {
        const std::uint8_t* p = &raw[i];
        const int hi = HexValues[p[0]], lo = HexValues[p[Unit]];
        if ((hi | lo) < 0 || p[2 * Unit] != ',' || !plain(p, 3))
            break;
        *out++ = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    data.resize(static_cast<std::size_t>(out - data.data()));
    return i;
}

class TParser {
public:
    explicit TParser(TLineSource& source) : FSource(source) {}

    TRegDocument Parse() {
        TRegDocument doc;
        ReadHeader(doc);
        while (FSource.Next()) {
            const std::string_view line = TrimLeft(FSource.Text());
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[')
                doc.Keys.push_back(ReadKey(line));
            else if (line.front() == '"' || line.front() == '@')
                ReadValueLine(doc, line);
            else
                Fail(LineNo(), "expected a key in [brackets], a value or a comment");
        }
        return doc;
    }

private:
    std::size_t LineNo() const noexcept { return FSource.LineNo(); }

    void ReadHeader(TRegDocument& doc) {
        while (FSource.Next()) {
            const std::string_view line = TrimRight(TrimLeft(FSource.Text()));
            if (line.empty())
                continue;
            if (SameText(line, HeaderVersion5))
                doc.Format = TRegFormat::Version5;
            else if (SameText(line, HeaderRegedit4))
                doc.Format = TRegFormat::Regedit4;
            else
                Fail(LineNo(), "not a registry file: expected \"" + std::string(HeaderVersion5) +
                                   "\" or \"" + std::string(HeaderRegedit4) + "\"");
            return;
        }
        Fail(LineNo(), "not a registry file: the file is empty");
    }

    TRegKey ReadKey(std::string_view line) {
        line = TrimRight(line);
        if (line.size() < 2 || line.back() != ']')
            Fail(LineNo(), "a key line must end with ']'");
        TRegKey key;
        std::string_view name = line.substr(1, line.size() - 2);
        if (!name.empty() && name.front() == '-') {
            key.Deleted = true;
            name.remove_prefix(1);
        }
        if (name.empty())
            Fail(LineNo(), "empty key name");
        key.Name = std::string(name);
        return key;
    }

    // A quoted text starting at s[pos] == '"'; \\ and \" are escapes, any other backslash
    // stands for itself.
    std::string ReadQuoted(std::string_view s, std::size_t& pos) {
        std::string out;
        for (++pos; pos < s.size(); ++pos) {
            const char c = s[pos];
            if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
                out.push_back(s[++pos]);
            } else if (c == '"') {
                ++pos;
                return out;
            } else {
                out.push_back(c);
            }
        }
        Fail(LineNo(), "missing closing '\"'");
    }

    // Only blanks or a ';' comment may follow a value.
    void ExpectEnd(std::string_view rest) {
        rest = TrimLeft(rest);
        if (!rest.empty() && rest.front() != ';')
            Fail(LineNo(), "unexpected text after the value: \"" + std::string(rest) + "\"");
    }

    // Up to `maxDigits` hex digits at s[pos]; fails when there is none.
    std::uint32_t ReadHexNumber(std::string_view s, std::size_t& pos, std::size_t maxDigits,
                                const char* what) {
        std::uint32_t v = 0;
        std::size_t digits = 0;
        for (; pos < s.size() && HexDigit(s[pos]) >= 0; ++pos, ++digits) {
            if (digits == maxDigits)
                Fail(LineNo(), std::string(what) + " has more than " + std::to_string(maxDigits) +
                                   " hex digits");
            v = (v << 4) | static_cast<std::uint32_t>(HexDigit(s[pos]));
        }
        if (digits == 0)
            Fail(LineNo(), std::string("expected ") + what);
        return v;
    }

    // Comma-separated hex bytes, continued over lines that end in '\'.
    std::vector<std::uint8_t> ReadHexBytes(std::string_view s) {
        std::vector<std::uint8_t> data;
        bool reserved = false;
        for (;;) {
            if (const std::size_t semi = s.find(';'); semi != std::string_view::npos)
                s = s.substr(0, semi);
            s = TrimRight(s);
            const bool more = !s.empty() && s.back() == '\\';
            if (more)
                s.remove_suffix(1);
            std::size_t pos = 0;
            const auto skipBlanks = [&] {
                while (pos < s.size() && IsBlank(s[pos]))
                    ++pos;
            };
            skipBlanks();
            while (pos < s.size()) {
                data.push_back(static_cast<std::uint8_t>(ReadHexNumber(s, pos, 2, "a hex byte")));
                skipBlanks();
                if (pos < s.size()) {
                    if (s[pos] != ',')
                        Fail(LineNo(), "expected ',' between hex bytes");
                    ++pos;
                    skipBlanks();
                }
            }
            if (!more || !FSource.Next())
                break;
            if (!reserved) {
                // Room for as many bytes as the rest of the file can spell, so that a long
                // value is not copied as it grows; pages never written cost nothing.
                data.reserve(data.size() + FSource.Ahead() / (3 * (FSource.Wide() ? 2 : 1)));
                reserved = true;
            }
            const std::size_t taken = FSource.Wide() ? TakeHexRun<2>(FSource.Raw(), data)
                                                     : TakeHexRun<1>(FSource.Raw(), data);
            s = FSource.Text(taken);
        }
        if (data.capacity() > data.size() + data.size() / 2 + 4096)
            data.shrink_to_fit();
        return data;
    }

    void ReadValueLine(TRegDocument& doc, std::string_view line) {
        if (doc.Keys.empty())
            Fail(LineNo(), "a value before the first key");
        if (doc.Keys.back().Deleted)
            Fail(LineNo(), "a value under a key that is being deleted");
        TRegValue value;
        std::size_t pos = 0;
        if (line.front() == '@')
            pos = 1;
        else
            value.Name = ReadQuoted(line, pos);
        std::string_view rest = TrimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            Fail(LineNo(), "expected '=' after the value name");
        rest = TrimLeft(rest.substr(1));
        if (!rest.empty() && rest.front() == '"') {
            pos = 0;
            value.Kind = TRegValueKind::String;
            value.Text = ReadQuoted(rest, pos);
            ExpectEnd(rest.substr(pos));
        } else if (!rest.empty() && rest.front() == '-') {
            value.Kind = TRegValueKind::Delete;
            ExpectEnd(rest.substr(1));
        } else if (StartsWithText(rest, "dword:")) {
            rest = TrimLeft(rest.substr(6));
            pos = 0;
            value.Kind = TRegValueKind::DWord;
            value.Number = ReadHexNumber(rest, pos, 8, "a dword value");
            ExpectEnd(rest.substr(pos));
        } else if (StartsWithText(rest, "hex:")) {
            value.Kind = TRegValueKind::Binary;
            value.Data = ReadHexBytes(rest.substr(4));
        } else if (StartsWithText(rest, "hex(")) {
            pos = 4;
            const std::uint32_t type = ReadHexNumber(rest, pos, 8, "a value type");
            if (pos + 1 >= rest.size() || rest[pos] != ')' || rest[pos + 1] != ':')
                Fail(LineNo(), "expected \"):\" after the value type");
            value.Kind = type == RegTypeBinary ? TRegValueKind::Binary : TRegValueKind::Typed;
            value.RawType = type == RegTypeBinary ? 0 : type;
            value.Data = ReadHexBytes(rest.substr(pos + 2));
        } else {
            Fail(LineNo(), "unknown value type (expected \"text\", dword:, hex: or hex(n):)");
        }
        doc.Keys.back().Values.push_back(std::move(value));
    }

    TLineSource& FSource;
};

// ---- Writing -------------------------------------------------------------------------------

void CheckOneLine(std::string_view text, const char* what) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        throw ERegistryException(std::string(what) + " holds a line break and cannot be written");
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void AppendHex(std::string& out, std::uint32_t v, int digits) {
    static constexpr char hex[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out.push_back(hex[(v >> shift) & 0xF]);
}

void AppendHexType(std::string& out, std::uint32_t type) {
    out += "hex(";
    int digits = 1;
    while (digits < 8 && (type >> (4 * digits)) != 0)
        ++digits;
    AppendHex(out, type, digits);
    out += "):";
}

// "xx," runs; a line that reaches HexLineLimit characters ends in '\' and the next one starts
// with two blanks.
void AppendHexBytes(std::string& out, std::size_t lineStart,
                    const std::vector<std::uint8_t>& data) {
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
        AppendHex(out, data[i], 2);
        if (i + 1 == data.size())
            break;
        out.push_back(',');
        column += 3;
        if (column >= HexLineLimit) {
            out += "\\\r\n  ";
            column = 2;
        }
    }
}

std::string WriteText(const TRegDocument& document, TRegFormat format) {
    std::string out(format == TRegFormat::Version5 ? HeaderVersion5 : HeaderRegedit4);
    out += "\r\n\r\n";
    for (const TRegKey& key : document.Keys) {
        CheckOneLine(key.Name, "A key name");
        if (key.Name.empty())
            throw ERegistryException("A key without a name cannot be written");
        if (!key.Deleted && key.Name.front() == '-')
            throw ERegistryException("The key name \"" + key.Name +
                                     "\" starts with '-' and cannot be written");
        if (key.Deleted && !key.Values.empty())
            throw ERegistryException("The deleted key \"" + key.Name + "\" holds values");
        out += key.Deleted ? "[-" : "[";
        out += key.Name;
        out += "]\r\n";
        for (const TRegValue& value : key.Values) {
            CheckOneLine(value.Name, "A value name");
            const std::size_t lineStart = out.size();
            out += value.Name.empty() ? std::string("@") : Quoted(value.Name);
            out += '=';
            switch (value.Kind) {
            case TRegValueKind::String:
                CheckOneLine(value.Text, "A string value");
                out += Quoted(value.Text);
                break;
            case TRegValueKind::DWord:
                out += "dword:";
                AppendHex(out, value.Number, 8);
                break;
            case TRegValueKind::Binary:
                out += "hex:";
                AppendHexBytes(out, lineStart, value.Data);
                break;
            case TRegValueKind::Typed:
                AppendHexType(out, value.RawType);
                AppendHexBytes(out, lineStart, value.Data);
                break;
            case TRegValueKind::Delete:
                out += '-';
                break;
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

bool SameKey(const TRegKey& key, std::string_view name) {
    return SameText(key.Name, name);
}

// Where importing the file takes a value from: the key section and value index of its last
// mention after the key's last deletion (a "name"=- counts as a mention), and the last live
// section of the key.
struct TValueSite {
    std::optional<std::size_t> Key, Value, LastLiveKey;
};

TValueSite LocateValue(const TRegDocument& doc, std::string_view keyName,
                       std::string_view valueName) {
    TValueSite site;
    for (std::size_t k = 0; k < doc.Keys.size(); ++k) {
        const TRegKey& key = doc.Keys[k];
        if (!SameKey(key, keyName))
            continue;
        if (key.Deleted) {
            site = {};
            continue;
        }
        site.LastLiveKey = k;
        for (std::size_t v = 0; v < key.Values.size(); ++v) {
            if (SameText(key.Values[v].Name, valueName)) {
                site.Key = k;
                site.Value = v;
            }
        }
    }
    return site;
}

// ---- Files ---------------------------------------------------------------------------------

std::atomic<std::size_t> gFailAfter{0};
std::atomic<bool> gFailArmed{false};

std::string ErrorText(int err) {
    return std::error_code(err, std::generic_category()).message();
}

[[noreturn]] void FailSave(const std::string& path, const std::string& why) {
    throw ERegistryException("Cannot save the registry file \"" + path + "\": " + why);
}

#ifndef _WIN32
class TFileHandle {
public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    ~TFileHandle() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const noexcept { return FFd; }
    int Release() noexcept { return std::exchange(FFd, -1); }

private:
    int FFd;
};

void WriteAll(int fd, const std::uint8_t* data, std::size_t size,
              std::optional<std::size_t> limit) {
    while (size > 0) {
        std::size_t chunk = size;
        if (limit) {
            if (*limit == 0) {
                errno = ENOSPC;
                throw std::system_error(errno, std::generic_category());
            }
            chunk = std::min(chunk, *limit);
        }
        const ssize_t n = ::write(fd, data, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category());
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        if (limit)
            *limit -= static_cast<std::size_t>(n);
    }
}
#endif

} // namespace

// ---- Document --------------------------------------------------------------------------------

const TRegValue* TRegDocument::FindValue(std::string_view keyName,
                                         std::string_view valueName) const {
    const TValueSite site = LocateValue(*this, keyName, valueName);
    if (!site.Key)
        return nullptr;
    const TRegValue& value = Keys[*site.Key].Values[*site.Value];
    return value.Kind == TRegValueKind::Delete ? nullptr : &value;
}

bool TRegDocument::HasKey(std::string_view keyName) const {
    bool live = false;
    for (const TRegKey& key : Keys)
        if (SameKey(key, keyName))
            live = !key.Deleted;
    return live;
}

void TRegDocument::AddKey(std::string_view keyName) {
    if (!HasKey(keyName))
        Keys.push_back(TRegKey{std::string(keyName), false, {}});
}

void TRegDocument::SetValue(std::string_view keyName, TRegValue value) {
    const TValueSite site = LocateValue(*this, keyName, value.Name);
    if (site.Key) {
        Keys[*site.Key].Values[*site.Value] = std::move(value);
    } else if (site.LastLiveKey) {
        Keys[*site.LastLiveKey].Values.push_back(std::move(value));
    } else {
        Keys.push_back(TRegKey{std::string(keyName), false, {}});
        Keys.back().Values.push_back(std::move(value));
    }
}

TRegDocument ParseRegFile(std::span<const std::uint8_t> bytes) {
    TLineSource source(
        [bytes](std::uint8_t* buffer, std::size_t size) mutable {
            const std::size_t n = std::min(size, bytes.size());
            if (n > 0)
                std::memcpy(buffer, bytes.data(), n);
            bytes = bytes.subspan(n);
            return n;
        },
        bytes.size());
    return TParser(source).Parse();
}

std::vector<std::uint8_t> WriteRegFile(const TRegDocument& document, TRegFormat format) {
    const std::string text = WriteText(document, format);
    std::vector<std::uint8_t> out;
    if (format == TRegFormat::Regedit4) {
        out.assign(text.begin(), text.end());
    } else {
        out.reserve(2 + 2 * text.size());
        out.push_back(0xFF);
        out.push_back(0xFE);
        AppendUtf16(out, text);
    }
    return out;
}

TRegDocument LoadRegFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(path), ec);
    if (st.type() == fs::file_type::not_found)
        return TRegDocument{};
    const auto fail = [&](const std::string& why) -> TRegDocument {
        throw ERegistryException("Cannot read the registry file \"" + path + "\": " + why);
    };
    if (ec)
        return fail(ec.message());
    if (fs::is_directory(st))
        return fail("it is a folder");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return fail(ErrorText(errno));
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(f, std::fclose);
    std::setvbuf(f, nullptr, _IONBF, 0); // the line source has its own buffer
    const std::uintmax_t size = fs::file_size(fs::path(path), ec);
    try {
        TLineSource source(
            [f](std::uint8_t* buffer, std::size_t room) {
                const std::size_t n = std::fread(buffer, 1, room, f);
                if (n == 0 && std::ferror(f))
                    throw ERegistryException(ErrorText(errno));
                return n;
            },
            ec ? 0 : static_cast<std::size_t>(size));
        if (source.Empty())
            return TRegDocument{};
        return TParser(source).Parse();
    } catch (const ERegistryException& e) {
        return fail(e.Message());
    }
}

void SaveRegFile(const std::string& path, const TRegDocument& document) {
    std::optional<std::size_t> limit;
    if (gFailArmed.exchange(false))
        limit = gFailAfter.load();
    const std::vector<std::uint8_t> bytes = WriteRegFile(document, document.Format);

    fs::path target(path);
    std::error_code ec;
    // Replace the file a link points to, and keep the link (also when the file is missing).
    for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec)
            FailSave(path, "cannot create its folder: " + ec.message());
    }
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const std::string temp = target.string() + "." + std::to_string(GetCurrentProcessId()) + "." +
                             std::to_string(counter++) + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        FailSave(path, ErrorText(errno));
    std::size_t todo = bytes.size();
    if (limit)
        todo = std::min(todo, *limit);
    bool ok = std::fwrite(bytes.data(), 1, todo, f) == todo && todo == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ok && _commit(_fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || !MoveFileExA(temp.c_str(), target.string().c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::remove(temp.c_str());
        FailSave(path, ok ? "cannot replace the old file" : "write error");
    }
#else
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = target.string() + "." + std::to_string(::getpid()) + "." +
               std::to_string(counter++) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            FailSave(path, "cannot create a temporary file: " + ErrorText(errno));
    }
    if (fd < 0)
        FailSave(path, "cannot create a temporary file");
    TFileHandle file(fd);
    try {
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0)
            ::fchmod(file.Get(), old.st_mode & 07777);
        WriteAll(file.Get(), bytes.data(), bytes.size(), limit);
        if (::fsync(file.Get()) != 0)
            throw std::system_error(errno, std::generic_category());
        if (::close(file.Release()) != 0)
            throw std::system_error(errno, std::generic_category());
        if (::rename(temp.c_str(), target.c_str()) != 0)
            throw std::system_error(errno, std::generic_category());
    } catch (const std::system_error& e) {
        ::unlink(temp.c_str());
        FailSave(path, e.code().message());
    }
    // Make the rename itself durable; the new content is already safe, so this is best effort.
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
}

namespace regfile_testing {
void ReadInPiecesOf(std::size_t bytes) {
    gReadPiece = bytes;
}

void FailNextWriteAfter(std::size_t bytes) {
    gFailAfter = bytes;
    gFailArmed = true;
}
} // namespace regfile_testing
