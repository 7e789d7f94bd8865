#include "RegFile.h"

#include "Exception.h"
#include "StringList.h"
#include "Utf8.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

std::vector<std::string_view> SplitLines(std::string_view text);

std::string DecodeUtf16(std::span<const std::uint8_t> bytes) {
    if (bytes.size() % 2 != 0) {
        const std::string whole = DecodeUtf16(bytes.first(bytes.size() - 1));
        Fail(SplitLines(whole).size() +
                 (whole.empty() || whole.back() == '\n' || whole.back() == '\r' ? 1 : 0),
             "the UTF-16 text ends in half a character");
    }
    std::string out;
    out.reserve(bytes.size() / 2);
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
    return out;
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

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

class TParser {
public:
    explicit TParser(std::string_view text) : FLines(SplitLines(text)) {}

    TRegDocument Parse() {
        TRegDocument doc;
        ReadHeader(doc);
        for (++FLine; FLine < FLines.size(); ++FLine) {
            const std::string_view line = TrimLeft(FLines[FLine]);
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
    std::size_t LineNo() const noexcept { return FLine + 1; }

    void ReadHeader(TRegDocument& doc) {
        for (FLine = 0; FLine < FLines.size(); ++FLine) {
            const std::string_view line = TrimRight(TrimLeft(FLines[FLine]));
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
            if (!more || FLine + 1 >= FLines.size())
                return data;
            s = FLines[++FLine];
        }
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

    std::vector<std::string_view> FLines;
    std::size_t FLine = 0;
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
    std::string text;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text = DecodeUtf16(bytes.subspan(2));
    } else if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) {
        text = DecodeUtf16(bytes); // UTF-16LE that lost its byte-order mark
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        text = Utf8FromBytes(AsText(bytes.subspan(3)));
    } else {
        text = Utf8FromBytes(AsText(bytes));
    }
    return TParser(text).Parse();
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
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool readError = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (readError)
        return fail(ErrorText(err));
    if (bytes.empty())
        return TRegDocument{};
    try {
        return ParseRegFile(bytes);
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
void FailNextWriteAfter(std::size_t bytes) {
    gFailAfter = bytes;
    gFailArmed = true;
}
} // namespace regfile_testing
