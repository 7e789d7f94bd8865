#include "RegFile.h"
#include "Exception.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using testsupport::B;

// ASCII text as UTF-16LE with a byte-order mark.
std::vector<std::uint8_t> Utf16(std::string_view text) {
    std::vector<std::uint8_t> out{0xFF, 0xFE};
    for (const char c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

TRegValue Binary(std::string name, std::vector<std::uint8_t> data) {
    TRegValue v;
    v.Name = std::move(name);
    v.Kind = TRegValueKind::Binary;
    v.Data = std::move(data);
    return v;
}

TRegValue String(std::string name, std::string text) {
    TRegValue v;
    v.Name = std::move(name);
    v.Text = std::move(text);
    return v;
}

TRegValue DWord(std::string name, std::uint32_t n) {
    TRegValue v;
    v.Name = std::move(name);
    v.Kind = TRegValueKind::DWord;
    v.Number = n;
    return v;
}

TRegValue Typed(std::string name, std::uint32_t type, std::vector<std::uint8_t> data) {
    TRegValue v = Binary(std::move(name), std::move(data));
    v.Kind = TRegValueKind::Typed;
    v.RawType = type;
    return v;
}

TRegValue Deleted(std::string name) {
    TRegValue v;
    v.Name = std::move(name);
    v.Kind = TRegValueKind::Delete;
    return v;
}

std::vector<std::uint8_t> Seq(std::size_t n) {
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(i);
    return out;
}

const char* const Fav = "HKEY_CURRENT_USER\\Favorites";

TEST(RegFile, ParsesWhatPeopleAndTheEditorWrite) {
    struct Case {
        const char* name;
        std::string text;
        TRegFormat format;
        std::vector<TRegKey> keys;
    };
    const std::vector<Case> cases = {
        {"continued hex, CRLF",
         "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Favorites]\r\n"
         "\"Items\"=hex:54,50,46,\\\r\n  30,0e,\\\r\n\t  ff\r\n\r\n",
         TRegFormat::Version5,
         {{Fav, false, {Binary("Items", {0x54, 0x50, 0x46, 0x30, 0x0E, 0xFF})}}}},
        {"REGEDIT4, LF, strings, dword, default value",
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Q]\n@=\"dflt\"\n"
         "\"Path\"=\"C:\\\\Apps\\\\\"\n\"Quote\"=\"say \\\"hi\\\"\"\n\"Num\"=dword:0000002A\n"
         "\"Odd\"=\"a\\b\"\n",
         TRegFormat::Regedit4,
         {{"HKEY_CURRENT_USER\\Software\\Q",
           false,
           {String("", "dflt"), String("Path", "C:\\Apps\\"), String("Quote", "say \"hi\""),
            DWord("Num", 42), String("Odd", "a\\b")}}}},
        {"comments, blanks, typed hex, deletions",
         "\nWindows Registry Editor Version 5.00\n; about\n\n  [-HKEY_CURRENT_USER\\Old]\n"
         "[HKEY_CURRENT_USER\\A]  \n  ; inside\n\"e\"=hex(2):41,00,00,00 ; comment\n"
         "\"b\" = hex(3):01\n\"gone\"=-\n\"none\"=hex:\n\"n\"=hex(0):\n",
         TRegFormat::Version5,
         {{"HKEY_CURRENT_USER\\Old", true, {}},
          {"HKEY_CURRENT_USER\\A",
           false,
           {Typed("e", 2, {0x41, 0, 0, 0}), Binary("b", {1}), Deleted("gone"), Binary("none", {}),
            Typed("n", 0, {})}}}},
        {"UTF-8 with BOM, version 5 header by hand",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Gr\xC3\xBC\xC3\x9F"
         "e]\n\"K\xC3\xA4se\"=\"\xE2\x82\xAC\"\n",
         TRegFormat::Version5,
         {{"HKEY_CURRENT_USER\\Gr\xC3\xBC\xC3\x9F"
           "e",
           false,
           {String("K\xC3\xA4se", "\xE2\x82\xAC")}}}},
        {"8-bit bytes that are not UTF-8 read as Latin-1",
         "REGEDIT4\r\n[K]\r\n\"caf\xE9\"=\"\xFF\"\r\n",
         TRegFormat::Regedit4,
         {{"K", false, {String("caf\xC3\xA9", "\xC3\xBF")}}}},
        {"lone CR line ends, key name with ']'",
         "REGEDIT4\r[a]b]\r\"x\"=dword:1\r",
         TRegFormat::Regedit4,
         {{"a]b", false, {DWord("x", 1)}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRegDocument doc;
        ASSERT_NO_THROW(doc = ParseRegFile(B(c.text)));
        EXPECT_EQ(doc.Format, c.format);
        EXPECT_EQ(doc.Keys, c.keys);
    }
}

TEST(RegFile, ParsesUtf16WithAndWithoutByteOrderMark) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\"
                             "Favorites]\r\n\"Items\"=hex:01,02,\\\r\n  03\r\n\r\n";
    std::vector<std::uint8_t> bytes = Utf16(text);
    const std::vector<TRegKey> expected = {{Fav, false, {Binary("Items", {1, 2, 3})}}};
    EXPECT_EQ(ParseRegFile(bytes).Keys, expected);
    bytes.erase(bytes.begin(), bytes.begin() + 2);
    EXPECT_EQ(ParseRegFile(bytes).Keys, expected);

    // A character outside the BMP as a surrogate pair, and a lone surrogate.
    std::vector<std::uint8_t> pair = Utf16("REGEDIT4\r\n[K]\r\n\"v\"=\"\"\r\n");
    const std::uint8_t units[] = {0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8};
    pair.insert(pair.end() - 6, std::begin(units), std::end(units));
    const TRegDocument doc = ParseRegFile(pair);
    ASSERT_EQ(doc.Keys.size(), 1u);
    EXPECT_EQ(doc.Keys[0].Values.at(0).Text, "\xF0\x9F\x98\x80\xED\xA0\x80");
}

TEST(RegFile, RefusesWhatItCannotReadNamingTheLine) {
    struct Case {
        std::string text;
        int line;
        const char* says;
    };
    const std::string h = "REGEDIT4\n";
    const std::vector<Case> cases = {
        {"", 1, "empty"},
        {"\n\n", 3, "empty"},
        {"Windows Registry Editor Version 4.00\n", 1, "not a registry file"},
        {"[HKEY_CURRENT_USER\\X]\n", 1, "not a registry file"},
        {h + "\"a\"=\"b\"\n", 2, "before the first key"},
        {h + "[K\n", 2, "must end with ']'"},
        {h + "[]\n", 2, "empty key name"},
        {h + "[-]\n", 2, "empty key name"},
        {h + "[K]\nvalue\n", 3, "expected a key"},
        {h + "[K]\n\"a\" \"b\"\n", 3, "expected '='"},
        {h + "[K]\n\"a=\"b\"\n", 3, "expected '='"},
        {h + "[K]\n\"a\"=\"b\n", 3, "missing closing"},
        {h + "[K]\n\"a\"=\"b\\\"\n", 3, "missing closing"},
        {h + "[K]\n\"a\"=\"b\" c\n", 3, "unexpected text"},
        {h + "[K]\n\"a\"=qword:1\n", 3, "unknown value type"},
        {h + "[K]\n\"a\"=dword:\n", 3, "expected a dword"},
        {h + "[K]\n\"a\"=dword:123456789\n", 3, "more than 8"},
        {h + "[K]\n\"a\"=dword:12 34\n", 3, "unexpected text"},
        {h + "[K]\n\"a\"=hex:0g\n", 3, "expected ','"},
        {h + "[K]\n\"a\"=hex:123\n", 3, "more than 2"},
        {h + "[K]\n\"a\"=hex:01,,02\n", 3, "expected a hex byte"},
        {h + "[K]\n\"a\"=hex:01,\\\n  02,\\\n  zz\n", 5, "expected a hex byte"},
        {h + "[K]\n\"a\"=hex(:01\n", 3, "expected a value type"},
        {h + "[K]\n\"a\"=hex(2)01\n", 3, "\"):\""},
        {h + "[-K]\n\"a\"=-\n", 3, "being deleted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseRegFile(B(c.text));
            ADD_FAILURE() << "accepted";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message().rfind("line " + std::to_string(c.line) + ": ", 0), 0u)
                << e.Message();
            EXPECT_NE(e.Message().find(c.says), std::string::npos) << e.Message();
        }
    }
    struct Odd {
        std::string text;
        const char* line;
    };
    for (const Odd& c :
         {Odd{"", "line 1:"}, Odd{"REGEDIT4", "line 1:"}, Odd{"REGEDIT4\r\n", "line 2:"}}) {
        std::vector<std::uint8_t> odd = Utf16(c.text);
        odd.push_back('[');
        try {
            ParseRegFile(odd);
            ADD_FAILURE() << "accepted half a UTF-16 character";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message().rfind(c.line, 0), 0u) << e.Message();
        }
    }
}

TEST(RegFile, WritesAsTheRegistryEditorDoes) {
    TRegDocument doc;
    doc.Keys = {{Fav, false, {Binary("Items", Seq(50)), String("", "C:\\a \"b\""), DWord("n", 42)}},
                {"HKEY_CURRENT_USER\\Old", true, {}},
                {"HKEY_CURRENT_USER\\T", false, {Typed("e", 0x2, {0x41, 0}), Deleted("x")}}};
    const std::string expected =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Favorites]\r\n"
        "\"Items\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
        "  2f,30,31\r\n"
        "@=\"C:\\\\a \\\"b\\\"\"\r\n"
        "\"n\"=dword:0000002a\r\n"
        "\r\n"
        "[-HKEY_CURRENT_USER\\Old]\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\T]\r\n"
        "\"e\"=hex(2):41,00\r\n"
        "\"x\"=-\r\n"
        "\r\n";
    EXPECT_EQ(WriteRegFile(doc, TRegFormat::Version5), Utf16(expected));
    EXPECT_EQ(WriteRegFile(doc, TRegFormat::Regedit4),
              B("REGEDIT4" + expected.substr(expected.find("\r\n"))));
}

TEST(RegFile, RoundTripsInBothFormats) {
    TRegDocument doc;
    doc.Keys = {
        {"HKEY_CURRENT_USER\\Gr\xC3\xBC\xC3\x9F"
         "e \xF0\x9F\x98\x80",
         false,
         {String("K\xC3\xA4se", "\xE2\x82\xAC 5 \\\" ; [x]"), Binary("", Seq(300)),
          DWord("max", 0xFFFFFFFFu), Typed("big", 0xFFFFFFFFu, {1}), Deleted("d")}},
        {"[odd]", true, {}},
        {"HKEY_CURRENT_USER\\Empty", false, {}},
    };
    for (const TRegFormat format : {TRegFormat::Version5, TRegFormat::Regedit4}) {
        const TRegDocument again = ParseRegFile(WriteRegFile(doc, format));
        EXPECT_EQ(again.Format, format);
        EXPECT_EQ(again.Keys, doc.Keys);
    }
}

// Files far longer than one read, in both encodings and with every kind of line end: lines
// and line ends cross the reads' boundaries.
TEST(RegFile, ReadsLongFilesWhole) {
    TRegDocument doc;
    doc.Keys = {{Fav, false, {Binary("Items", Seq(200000)), String("after", "x")}},
                {"HKEY_CURRENT_USER\\Next", false, {DWord("n", 7)}}};
    for (const TRegFormat format : {TRegFormat::Version5, TRegFormat::Regedit4}) {
        const std::vector<std::uint8_t> written = WriteRegFile(doc, format);
        const std::size_t unit = format == TRegFormat::Version5 ? 2 : 1;
        for (const char* end : {"\r\n", "\n", "\r"}) {
            SCOPED_TRACE(std::to_string(unit) + " byte units, line end " +
                         (end[1]           ? "CR LF"
                          : end[0] == '\n' ? "LF"
                                           : "CR"));
            std::vector<std::uint8_t> bytes(written.begin(), written.begin() + 2 * (unit - 1));
            for (std::size_t i = bytes.size(); i < written.size(); i += unit) {
                if (written[i] == '\n')
                    continue; // every CR LF becomes `end`
                if (written[i] != '\r') {
                    bytes.insert(bytes.end(), written.begin() + i, written.begin() + i + unit);
                    continue;
                }
                for (const char* c = end; *c; ++c) {
                    bytes.push_back(static_cast<std::uint8_t>(*c));
                    if (unit == 2)
                        bytes.push_back(0);
                }
            }
            EXPECT_EQ(ParseRegFile(bytes).Keys, doc.Keys);
        }
    }
}

// Read a few bytes at a time, every line and line end falls across reads somewhere: the
// document, or the refusal with its line number, is the same.
TEST(RegFile, ReadsTheSameInPieces) {
    TRegDocument doc;
    doc.Keys = {
        {Fav, false, {Binary("Items", Seq(120)), String("s", "a \xC3\xA4 \xF0\x9F\x98\x80")}},
        {"HKEY_CURRENT_USER\\Next", false, {DWord("n", 7)}}};
    std::vector<std::vector<std::uint8_t>> files;
    for (const TRegFormat format : {TRegFormat::Version5, TRegFormat::Regedit4})
        files.push_back(WriteRegFile(doc, format));
    files.push_back(B("REGEDIT4\r[K]\r\"v\"=hex:01,\\\r  02\r\r\n\n\"w\"=dword:1\n"));
    files.push_back(B("REGEDIT4\n[K]\n\"v\"=hex:01,\\\r\n  02,\\\n  zz\n"));
    files.push_back(Utf16("REGEDIT4\r\n\r\n[K]\r\n\"v\"=hex:01\r\n\"w\" \"x\"\r\n"));
    std::vector<std::uint8_t> half = Utf16("REGEDIT4\r\n[K]\r\n");
    half.push_back('[');
    files.push_back(half);
    // The keys read, or the refusal.
    const auto read = [](const std::vector<std::uint8_t>& bytes) {
        std::pair<std::vector<TRegKey>, std::string> result;
        try {
            result.first = ParseRegFile(bytes).Keys;
        } catch (const ERegistryException& e) {
            result.second = e.Message();
        }
        return result;
    };
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto whole = read(files[f]);
        for (const std::size_t piece : {1, 2, 3, 5, 7, 64}) {
            SCOPED_TRACE(testing::Message() << "file " << f << ", pieces of " << piece);
            regfile_testing::ReadInPiecesOf(piece);
            EXPECT_EQ(read(files[f]), whole);
            regfile_testing::ReadInPiecesOf(0);
        }
    }
    EXPECT_EQ(ParseRegFile(files[0]).Keys, doc.Keys);
    EXPECT_EQ(read(files[2]).first.at(0).Values.size(), 2u);
    EXPECT_NE(read(files[3]).second.find("line 5: expected a hex byte"), std::string::npos);
    EXPECT_NE(read(files[4]).second.find("line 5: expected '='"), std::string::npos);
    EXPECT_NE(read(files[5]).second.find("line 3: the UTF-16 text ends in half a character"),
              std::string::npos);
}

// The hex runs are read straight from the file's bytes; whatever they hold beyond the
// registry editor's own "hh," spelling reads as the general rules say.
TEST(RegFile, HexRunsInEitherEncoding) {
    struct Case {
        const char* name;
        std::string line;               // the continuation line, as 8-bit text
        std::vector<std::uint8_t> data; // empty: refused
    };
    const std::string head = "REGEDIT4\r\n[K]\r\n\"v\"=hex:01,\\\r\n";
    const std::vector<Case> cases = {
        {"the editor's spelling", "  0a,FF,10", {1, 0x0A, 0xFF, 0x10}},
        {"blanks and a comment", "\t 0a , ff,1,\t2 ; note", {1, 0x0A, 0xFF, 1, 2}},
        {"a run that ends in a comma", "  0a,0b,", {1, 0x0A, 0x0B}},
        {"no bytes", "   ", {1}},
        {"three digits", "  0a,123,", {}},
        {"a missing byte", "  0a,,0b", {}},
        {"no comma", "  0a,0b 0c", {}},
        {"not hex", "  0a,0g,", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = head + c.line + "\r\n";
        for (const std::vector<std::uint8_t>& bytes : {B(text), Utf16(text)}) {
            if (c.data.empty()) {
                EXPECT_THROW(ParseRegFile(bytes), ERegistryException);
                continue;
            }
            const TRegDocument doc = ParseRegFile(bytes);
            ASSERT_EQ(doc.Keys.size(), 1u);
            EXPECT_EQ(doc.Keys[0].Values.at(0).Data, c.data);
        }
    }
    // UTF-16 units whose low byte spells a digit or a comma are neither.
    for (const std::uint16_t unit : {0x0130, 0x2C30, 0x012C}) {
        std::vector<std::uint8_t> bytes = Utf16(head + "  0a,00,\r\n");
        const std::size_t at = bytes.size() - 2 * std::string_view("0,\r\n").size();
        bytes[at] = static_cast<std::uint8_t>(unit & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(unit >> 8);
        EXPECT_THROW(ParseRegFile(bytes), ERegistryException) << std::hex << unit;
    }
}

// What importing the file would leave: sections merge, later wins, deletions remove.
TEST(RegFile, FindsValuesAsAnImportWouldLeaveThem) {
    struct Case {
        const char* name;
        std::string body;
        bool hasKey;
        const char* items; // the string value "Items", or null when missing
    };
    const std::vector<Case> cases = {
        {"plain", "[HKEY_CURRENT_USER\\Favorites]\n\"Items\"=\"a\"\n", true, "a"},
        {"letter case ignored", "[hkey_current_user\\FAVORITES]\n\"ITEMS\"=\"a\"\n", true, "a"},
        {"later value wins", "[" + std::string(Fav) + "]\n\"Items\"=\"a\"\n\"Items\"=\"b\"\n", true,
         "b"},
        {"sections merge",
         "[" + std::string(Fav) + "]\n\"Items\"=\"a\"\n[X]\n[" + std::string(Fav) +
             "]\n\"o\"=\"c\"\n",
         true, "a"},
        {"value deleted", "[" + std::string(Fav) + "]\n\"Items\"=\"a\"\n\"Items\"=-\n", true,
         nullptr},
        {"key deleted",
         "[" + std::string(Fav) + "]\n\"Items\"=\"a\"\n[-" + std::string(Fav) + "]\n", false,
         nullptr},
        {"key deleted and made again",
         "[" + std::string(Fav) + "]\n\"Items\"=\"a\"\n[-" + std::string(Fav) + "]\n[" +
             std::string(Fav) + "]\n",
         true, nullptr},
        {"sub-key is another key", "[" + std::string(Fav) + "\\Sub]\n\"Items\"=\"a\"\n", false,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRegDocument doc = ParseRegFile(B("REGEDIT4\n" + c.body));
        EXPECT_EQ(doc.HasKey(Fav), c.hasKey);
        const TRegValue* v = doc.FindValue(Fav, "Items");
        if (c.items) {
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->Text, c.items);
        } else {
            EXPECT_EQ(v, nullptr);
        }
        // Setting the value makes it found, whatever the file said before.
        const std::size_t sections = doc.Keys.size();
        doc.SetValue(Fav, Binary("Items", {7}));
        ASSERT_NE(doc.FindValue(Fav, "items"), nullptr);
        EXPECT_EQ(doc.FindValue(Fav, "items")->Data, std::vector<std::uint8_t>{7});
        EXPECT_EQ(doc.Keys.size(), sections + (c.hasKey ? 0 : 1));
    }
}

} // namespace
