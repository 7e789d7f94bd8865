#include "RegFile.h"
#include "Registry.h"
#include "RegistryLock.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out.flush())
        ADD_FAILURE() << "cannot write " << file;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

#ifdef _WIN32
// favorites.exe, copied beside this test program by the build.
const std::string& FavoritesExe() {
    static const std::string exe = [] {
        char self[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
        return (fs::path(std::string(self, n)).parent_path() / "favorites.exe").string();
    }();
    return exe;
}

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
std::string QuoteArgument(const std::string& arg) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\'); // before the closing quote
    return quoted + "\"";
}

// Runs the tool with the arguments, feeding `input` on standard input.
Result RunTool(const std::vector<std::string>& args, const std::string& input = "") {
    const fs::path io =
        fs::path(::testing::TempDir()) / ("tool_io_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(io);
    WriteFile(io / "in", input);
    Result r;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto open = [&](const char* name, DWORD access, DWORD disposition) {
        return CreateFileA((io / name).string().c_str(), access, FILE_SHARE_READ, &inherit,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE in = open("in", GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = open("out", GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = open("err", GENERIC_WRITE, CREATE_ALWAYS);
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE) {
        std::string line = QuoteArgument(FavoritesExe());
        for (const std::string& a : args)
            line += " " + QuoteArgument(a);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = in;
        si.hStdOutput = out;
        si.hStdError = err;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(FavoritesExe().c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                           nullptr, &si, &pi)) {
            DWORD code = 0;
            if (WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(pi.hProcess, &code))
                r.status = static_cast<int>(code);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    for (const HANDLE h : {in, out, err})
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    r.out = ReadFile(io / "out");
    r.err = ReadFile(io / "err");
    fs::remove_all(io);
    return r;
}
#else
// The tool started and not yet waited for.
struct Started {
    pid_t pid = -1;
    fs::path io; // its standard input, output and error
};

// Starts the tool with the arguments, feeding `input` on standard input.
Started StartTool(const std::vector<std::string>& args, const std::string& input = "") {
    static int count = 0;
    Started started;
    started.io = fs::path(::testing::TempDir()) /
                 ("tool_io_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
    fs::create_directories(started.io);
    WriteFile(started.io / "in", input);
    const fs::path io = started.io;
    started.pid = ::fork();
    if (started.pid == 0) {
        const auto redirect = [](const fs::path& file, int flags, int fd) {
            const int f = ::open(file.c_str(), flags, 0644);
            if (f < 0 || ::dup2(f, fd) < 0)
                ::_exit(127);
            ::close(f);
        };
        redirect(io / "in", O_RDONLY, 0);
        redirect(io / "out", O_WRONLY | O_CREAT | O_TRUNC, 1);
        redirect(io / "err", O_WRONLY | O_CREAT | O_TRUNC, 2);
        ::unsetenv("QUARVEL_REGISTRY");
        std::vector<char*> argv{const_cast<char*>(FAVORITES_EXE)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(FAVORITES_EXE, argv.data());
        ::_exit(127);
    }
    return started;
}

Result FinishTool(const Started& started) {
    Result r;
    int status = 0;
    if (started.pid > 0 && ::waitpid(started.pid, &status, 0) == started.pid && WIFEXITED(status))
        r.status = WEXITSTATUS(status);
    r.out = ReadFile(started.io / "out");
    r.err = ReadFile(started.io / "err");
    fs::remove_all(started.io);
    return r;
}

// Runs the tool with the arguments, feeding `input` on standard input.
Result RunTool(const std::vector<std::string>& args, const std::string& input = "") {
    return FinishTool(StartTool(args, input));
}
#endif

// A refusal: exit status 1 (or `status`), nothing on standard output, one prefixed line on
// standard error.
void ExpectRefused(const Result& r, const std::string& says, int status = 1) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("favorites: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
}

// The stored value of a collection with LastID 0 and no records.
const std::string EmptyValue =
    std::string("TPF0\x0ETFavoriteItems\x00\x06LastID\x02\x00\x00\x00", 31);

TEST(FavoritesTool, HelpAndUsageErrors) {
    const Result help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command :
         {"list [--json]", "check [--json]", "add", "add-request", "encode", "decode",
          "export-value", "import-value", "export-reg", "import-reg", "remove ID",
          "rename ID ALIAS", "move ID --parent GROUP", "relocate OLD NEW [--dry-run]",
          "--registry"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_EQ(RunTool({"add", "--help"}).out, help.out);
    const Result version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "favorites " QUENDLE_VERSION "\n");

    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{}, "missing command"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"--registry"}, "--registry needs a value"},
        {{"list", "extra"}, "unexpected argument \"extra\""},
        {{"decode", "extra"}, "unexpected argument"},
        {{"add"}, "missing PATH"},
        {{"add", "--alias"}, "--alias needs a value"},
        {{"add", "--colour", "x"}, "unknown option \"--colour\""},
        {{"add-request", "x"}, "unexpected argument"},
        {{"export-reg"}, "missing FILE"},
        {{"import-reg", "a", "b"}, "unexpected argument \"b\""},
        {{"list", "--tree"}, "unexpected argument \"--tree\""},
        {{"remove"}, "missing ID"},
        {{"remove", "one"}, "ID must be a whole number"},
        {{"remove", "1", "2"}, "unexpected argument \"2\""},
        {{"rename", "1"}, "missing ALIAS"},
        {{"move", "--parent", "0"}, "missing ID"},
        {{"move", "1"}, "missing --parent GROUP"},
        {{"move", "1", "--parent", "x"}, "--parent must be a whole number"},
        {{"move", "1", "2", "--parent", "0"}, "unexpected argument \"2\""},
        {{"relocate", "/a"}, "needs the folders OLD and NEW"},
        {{"relocate", "/a", "/b", "/c"}, "unexpected argument \"/c\""},
        {{"relocate", "--force", "/a", "/b"}, "unknown option \"--force\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        ExpectRefused(RunTool(c.args), c.says);
    }
    // check fails with 2, as 1 says that favorites are missing.
    ExpectRefused(RunTool({"check", "--all"}), "unexpected argument \"--all\"", 2);
}

TEST(FavoritesTool, EncodeAndDecode) {
    const Result empty = RunTool({"encode"}, "0\n");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, EmptyValue);

    const std::string long_record = "000000000|000|3|1|/x/" + std::string(300, 'l') + "|long";
    const std::vector<std::string> texts = {
        "0\n",
        "40000\n000000000|000|2|1|/home/u/Unit1.pas|Unit1.pas\n000000000|001|5|2||G\n",
        "-1\n\n|||\n" + long_record + "\n",
        // Bytes 1A and 0A in the value: a text-mode stream would end or widen them.
        "26\n0123456789\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const Result encoded = RunTool({"encode"}, text);
        ASSERT_EQ(encoded.status, 0) << encoded.err;
        const Result decoded = RunTool({"decode"}, encoded.out);
        EXPECT_EQ(decoded.status, 0) << decoded.err;
        EXPECT_EQ(decoded.out, text);
    }
    // CR LF input, no final line end.
    EXPECT_EQ(RunTool({"decode"}, RunTool({"encode"}, "7\r\na|b\r\nc").out).out, "7\na|b\nc\n");

    ExpectRefused(RunTool({"encode"}, ""), "LastID");
    ExpectRefused(RunTool({"encode"}, "seven\nrecord\n"), "\"seven\"");
    ExpectRefused(RunTool({"encode"}, "99999999999\n"), "LastID");
    ExpectRefused(RunTool({"decode"}, ""), "");
    ExpectRefused(RunTool({"decode"}, "TPF1 not a stream"), "");
    ExpectRefused(RunTool({"decode"}, EmptyValue.substr(0, 30)), "");
}

class FavoritesToolFiles : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "--registry names a registry file, which exists only off Windows";
#endif
        dir = fs::path(::testing::TempDir()) /
              ("tool_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "cfg");
        for (const char* name : {"Proj.dpr", "Unit1.pas", "notes.txt"})
            WriteFile(dir / name, "x");
        registry = (dir / "cfg" / "HKEY_CURRENT_USER.reg").string();
        d = dir.string();
    }
    void TearDown() override {
        if (!dir.empty())
            fs::remove_all(dir);
    }

    Result Fav(std::vector<std::string> args, const std::string& input = "") const {
        args.insert(args.begin(), {"--registry", registry});
        return RunTool(args, input);
    }
    std::string Value() const {
        const Result r = Fav({"export-value"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
    std::string Records() const {
        return RunTool({"decode"}, Value()).out;
    }

    fs::path dir;
    std::string registry, d;
};

TEST_F(FavoritesToolFiles, AddThenListTheTree) {
    EXPECT_EQ(Fav({"list"}).out, "");
    EXPECT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    EXPECT_EQ(Fav({"add", "--alias", "Sources", d + "/src/"}).status, 0);
    EXPECT_EQ(Fav({"add", d + "/src/"}).status, 0);
    const Result group =
        Fav({"add-request"}, "5\nTools\n" + d + "/notes.txt\n" + d + "/Proj.dpr\n");
    EXPECT_EQ(group.status, 0) << group.err;
    EXPECT_EQ(group.out, "3\n4\n"); // fourth at the top level, given id 4
    const Result nested = Fav({"add", "--parent", "4", "--alias=U", d + "/Unit1.pas"});
    EXPECT_EQ(nested.status, 0) << nested.err;

    const std::string tree = "Unit \"Unit1.pas\" " + d + "/Unit1.pas\n" + "Folder \"Sources\" " +
                             d + "/src/\n" + "Folder \"src\" " + d + "/src/\n" +
                             "Group \"Tools\" (id 4)\n" + "  Project \"Proj.dpr\" " + d +
                             "/Proj.dpr\n" + "  Unit \"U\" " + d + "/Unit1.pas\n" +
                             "  File \"notes.txt\" " + d + "/notes.txt\n";
    const Result list = Fav({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, tree);

    fs::remove(dir / "notes.txt");
    fs::remove(dir / "src");
    EXPECT_EQ(Fav({"list"}).out, "Unit \"Unit1.pas\" " + d + "/Unit1.pas\n" +
                                     "Folder \"Sources\" " + d + "/src/ [missing]\n" +
                                     "Folder \"src\" " + d + "/src/ [missing]\n" +
                                     "Group \"Tools\" (id 4)\n" + "  Project \"Proj.dpr\" " + d +
                                     "/Proj.dpr\n" + "  Unit \"U\" " + d + "/Unit1.pas\n" +
                                     "  File \"notes.txt\" " + d + "/notes.txt [missing]\n");
}

TEST_F(FavoritesToolFiles, AddMakesRelativePathsAbsolute) {
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const Result r = Fav({"add", "./src/../Proj.dpr"});
    fs::current_path(cwd);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Records(), "1\n000000000|000|0|1|" + d + "/Proj.dpr|Proj.dpr\n");
}

TEST_F(FavoritesToolFiles, AddRefusesBadInputAndSavesNothing) {
    ASSERT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    WriteFile(dir / "a|b.txt", "x");
    const std::string before = ReadFile(registry);
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"add", d + "/missing.pas"}, "does not exist"},
        {{"add", "--alias", "  ", d + "/Proj.dpr"}, "Aliase must have a value."},
        {{"add", "--alias", "", d + "/Proj.dpr"}, "Aliase must have a value."},
        {{"add", "/"}, "Aliase must have a value."},
        {{"add", "--alias", "a|b", d + "/Proj.dpr"}, "alias must not contain '|'"},
        {{"add", d + "/a|b.txt"}, "path must not contain '|'"},
        {{"add", "--alias", "x\ny", d + "/Proj.dpr"}, "one line"},
        {{"add", "--parent", "99", d + "/Proj.dpr"}, "no group with id 99"},
        {{"add", "--parent", "1", d + "/Proj.dpr"}, "no group with id 1"}, // a unit, not a group
        {{"add", "--parent", "x", d + "/Proj.dpr"}, "--parent must be a whole number"},
        {{"add", d + "/Proj.dpr", d + "/notes.txt"}, "unexpected argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        ExpectRefused(Fav(c.args), c.says);
        EXPECT_EQ(ReadFile(registry), before);
    }
}

TEST_F(FavoritesToolFiles, AddRequestPassesTheRequestUnchanged) {
    ASSERT_EQ(Fav({"add-request"}, "5\nG\n").out, "0\n1\n");
    const Result into = Fav({"add-request", "--parent", "1"}, "2\r\nU\r\n/p/x.pas\r\n");
    EXPECT_EQ(into.status, 0) << into.err;
    EXPECT_EQ(into.out, "0\n1\n");
    const Result typed = Fav({"add-request", "--parent=1"}, "7\nOdd\n/p/odd");
    EXPECT_EQ(typed.out, "1\n1\n");
    EXPECT_EQ(Records(), "3\n000000000|000|5|1||G\n000000001|000|2|2|/p/x.pas|U\n"
                         "000000001|001|7|3|/p/odd|Odd\n");

    const std::string before = ReadFile(registry);
    struct Case {
        const char* input;
        const char* says;
    };
    const Case cases[] = {
        {"x\nA\n/p\n", "Error in adding items (ItemType Error)"},
        {"-1\nA\n/p\n", "Error in adding items (ItemType Error)"},
        {"\nA\n/p\n", "Error in adding items (ItemType Error)"},
        {"2\nA\n", "List index out of bounds (2)"},
        {"2\n", "List index out of bounds (1)"},
        {"", "List index out of bounds (0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ExpectRefused(Fav({"add-request"}, c.input), c.says);
        EXPECT_EQ(ReadFile(registry), before);
    }
    ExpectRefused(Fav({"add-request", "--parent", "one"}, "2\nA\n/p\n"), "--parent");
    EXPECT_EQ(ReadFile(registry), before);
}

TEST_F(FavoritesToolFiles, RawValueExportAndImport) {
    EXPECT_EQ(Value(), ""); // nothing stored yet
    const std::string value = RunTool({"encode"}, "5\n000000000|000|3|5|/x/a.txt|a\n").out;
    const Result imported = Fav({"import-value"}, value);
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(Value(), value);
    EXPECT_EQ(Fav({"list"}).out, "File \"a\" /x/a.txt [missing]\n");

    const std::string before = ReadFile(registry);
    for (const std::string& bad : {std::string(), std::string("garbage"), value.substr(0, 20)}) {
        SCOPED_TRACE(bad);
        ExpectRefused(Fav({"import-value"}, bad), "");
        EXPECT_EQ(ReadFile(registry), before);
    }
}

TEST_F(FavoritesToolFiles, RegFileExportAndImport) {
    ASSERT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    ASSERT_EQ(Fav({"add-request"}, "5\n" + std::string(40, 'G') + "\n" + d + "/Proj.dpr\n").status,
              0);
    const std::string value = Value();
    const fs::path exported = dir / "out" / "fav.reg";
    const Result r = Fav({"export-reg", exported.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = ReadFile(exported);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(0, 2), "\xFF\xFE");
    const TRegDocument doc = LoadRegFile(exported.string());
    ASSERT_EQ(doc.Keys.size(), 1u);
    EXPECT_EQ(doc.Keys[0].Name, "HKEY_CURRENT_USER\\Favorites");
    ASSERT_EQ(doc.Keys[0].Values.size(), 1u);
    EXPECT_EQ(doc.Keys[0].Values[0].Name, "Items");
    EXPECT_EQ(doc.Keys[0].Values[0].Data, Bytes(value));

    // Into another registry, in both formats.
    const std::string other = (dir / "other.reg").string();
    const Result in5 = RunTool({"--registry", other, "import-reg", exported.string()});
    EXPECT_EQ(in5.status, 0) << in5.err;
    EXPECT_EQ(RunTool({"--registry", other, "export-value"}).out, value);

    std::string hex;
    for (std::size_t i = 0; i < EmptyValue.size(); ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X,", static_cast<unsigned char>(EmptyValue[i]));
        hex += b;
        if (i % 10 == 9)
            hex += "\\\n    ";
    }
    hex.pop_back();
    const fs::path handmade = dir / "old.reg";
    WriteFile(handmade, "REGEDIT4\n\n[hkey_current_user\\favorites]\n\"items\"=hex:" + hex + "\n");
    const Result in4 = RunTool({"--registry", other, "import-reg", handmade.string()});
    EXPECT_EQ(in4.status, 0) << in4.err;
    EXPECT_EQ(RunTool({"--registry", other, "export-value"}).out, EmptyValue);
}

TEST_F(FavoritesToolFiles, RegFileImportRefusals) {
    ASSERT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    const std::string before = ReadFile(registry);
    const std::string head = "REGEDIT4\n[HKEY_CURRENT_USER\\Favorites]\n";
    struct Case {
        const char* name;
        std::string text;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"unparseable", head + "\"Items\"=hex:0z\n", "line 3"},
        {"no key", "REGEDIT4\n[HKEY_CURRENT_USER\\Other]\n\"Items\"=hex:01\n", "no binary value"},
        {"string value", head + "\"Items\"=\"TPF0\"\n", "no binary value"},
        {"deleted value", head + "\"Items\"=hex:01\n\"Items\"=-\n", "no binary value"},
        {"not a stream", head + "\"Items\"=hex:01,02,03\n", ""},
        {"empty value", head + "\"Items\"=hex:\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir / "in.reg", c.text);
        ExpectRefused(Fav({"import-reg", (dir / "in.reg").string()}), c.says);
        EXPECT_EQ(ReadFile(registry), before);
    }
    ExpectRefused(Fav({"import-reg", (dir / "none.reg").string()}), "does not exist");
    EXPECT_EQ(ReadFile(registry), before);
}

// Nothing overwrites a stored value (or registry file) that cannot be read.
TEST_F(FavoritesToolFiles, UnreadableStoreIsLeftAlone) {
    const std::string value = RunTool({"encode"}, "1\n000000000|000|3|1|/x|x\n").out;
    const std::string reg = (dir / "in.reg").string();
    ASSERT_EQ(RunTool({"--registry", (dir / "src.reg").string(), "import-value"}, value).status, 0);
    ASSERT_EQ(RunTool({"--registry", (dir / "src.reg").string(), "export-reg", reg}).status, 0);

    const std::vector<std::pair<std::string, const char*>> stores = {
        {"not a registry file at all", "Cannot read the registry file"},
        {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Favorites]\r\n\"Items\"=hex:01,02\r\n\r\n",
         "the stored favorites (HKEY_CURRENT_USER\\Favorites\\Items) cannot be read"},
        {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Favorites]\r\n\"Items\"=\"text\"\r\n\r\n",
         "Invalid data type for 'Items'"},
    };
    const std::vector<std::vector<std::string>> commands = {
        {"list"},
        {"list", "--json"},
        {"check"},
        {"add", d + "/Proj.dpr"},
        {"add-request"},
        {"import-value"},
        {"import-reg", reg},
        {"remove", "1"},
        {"rename", "1", "y"},
        {"move", "1", "--parent", "0"},
        {"relocate", "/", d},
    };
    for (const auto& [store, says] : stores) {
        WriteFile(registry, store);
        for (const auto& command : commands) {
            SCOPED_TRACE(store + " / " + command[0]);
            ExpectRefused(Fav(command, command[0] == "import-value" ? value : "2\nA\n/p.pas\n"),
                          says, command[0] == "check" ? 2 : 1);
            EXPECT_EQ(ReadFile(registry), store);
        }
    }
    // A broken file cannot even be exported; a value of the wrong type neither.
    WriteFile(registry, stores[0].first);
    ExpectRefused(Fav({"export-value"}), "Cannot read the registry file");
    WriteFile(registry, stores[2].first);
    ExpectRefused(Fav({"export-reg", (dir / "x.reg").string()}), "Invalid data type for 'Items'");
    EXPECT_FALSE(fs::exists(dir / "x.reg"));
}

// Broken records may make a group its own member; the tree is still finite.
TEST_F(FavoritesToolFiles, ListSurvivesAGroupInsideItself) {
    const std::string value =
        RunTool({"encode"}, "2\n000000000|000|5|1||A\n000000001|000|5|1||A again\n").out;
    ASSERT_EQ(Fav({"import-value"}, value).status, 0);
    const Result list = Fav({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "Group \"A\" (id 1)\n  Group \"A again\" (id 1)\n");
}

// The stored value set to any bytes, as damage would leave it.
void StoreRaw(const std::string& registry, TRegValue value) {
    TRegDocument document = LoadRegFile(registry);
    value.Name = "Items";
    document.SetValue("HKEY_CURRENT_USER\\Favorites", std::move(value));
    SaveRegFile(registry, document);
}

TEST_F(FavoritesToolFiles, RepairRecoversADamagedValueAndKeepsIt) {
    const Result help = Fav({"--help"});
    for (const char* command : {"repair", "backups", "restore [N]"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;

    EXPECT_EQ(Fav({"repair"}).out, "nothing to repair\n"); // nothing stored
    const std::string value = RunTool({"encode"}, "3\n000000000|000|2|1|/p/a.pas|a\n"
                                                  "000000000|001|5|2||G\n"
                                                  "000000002|000|3|3|/p/b.txt|b\n")
                                  .out;
    ASSERT_EQ(Fav({"import-value"}, value).status, 0);
    const std::string sound = ReadFile(registry);
    EXPECT_EQ(Fav({"repair"}).out, "nothing to repair\n");
    EXPECT_EQ(ReadFile(registry), sound);

    TRegValue damaged;
    damaged.Kind = TRegValueKind::Binary;
    damaged.Data = Bytes(value.substr(0, value.find("/p/b.txt")));
    StoreRaw(registry, damaged);
    ExpectRefused(Fav({"list"}), "cannot be read");
    const Result repaired = Fav({"repair"});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    const std::string kept = registry.substr(0, registry.rfind('/')) + "/backups/Favorites-";
    const std::string says = "Recovered 2 of 3 records (1 favorites, 1 groups); the damaged "
                             "value is kept in " +
                             kept;
    EXPECT_EQ(repaired.out.rfind(says, 0), 0u) << repaired.out;
    EXPECT_EQ(Records(), "2\n000000000|000|2|1|/p/a.pas|a\n000000000|001|5|2||G\n");
    const std::string backup = repaired.out.substr(repaired.out.rfind(' ') + 1);
    EXPECT_EQ(LoadRegFile(backup.substr(0, backup.size() - 1))
                  .FindValue("HKEY_CURRENT_USER\\Favorites", "Items")
                  ->Data,
              damaged.Data);

    // A value of another type is kept in the backup as it was.
    TRegValue text;
    text.Kind = TRegValueKind::String;
    text.Text = "not binary";
    StoreRaw(registry, text);
    EXPECT_EQ(Fav({"repair"}).out.rfind("Recovered 0 of 0 records", 0), 0u);
    EXPECT_EQ(Records(), "0\n");
    const Result listed = Fav({"backups"});
    EXPECT_EQ(listed.out.substr(0, 3), "1  ") << listed.out;
    EXPECT_NE(listed.out.find("  cannot be read  "), std::string::npos) << listed.out;
}

TEST_F(FavoritesToolFiles, BackupsListAndRestore) {
    const std::string folder = registry.substr(0, registry.rfind('/')) + "/backups";
    EXPECT_EQ(Fav({"backups"}).out, "no backups in " + folder + "\n");
    for (const char* name : {"Proj.dpr", "Unit1.pas", "notes.txt"})
        ASSERT_EQ(Fav({"add", d + "/" + name}).status, 0);
    const std::string three = Value();

    const Result listed = Fav({"backups"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 2u) << listed.out; // the first add replaced nothing
    EXPECT_EQ(rows[0].rfind("1  ", 0), 0u);
    EXPECT_NE(rows[0].find(" UTC  2 favorites, 0 groups  " + folder + "/Favorites-"),
              std::string::npos)
        << rows[0];
    EXPECT_NE(rows[1].find(" UTC  1 favorites, 0 groups  "), std::string::npos) << rows[1];

    const Result restored = Fav({"restore", "2"});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out.rfind("Restored the backup of ", 0), 0u) << restored.out;
    EXPECT_EQ(Records(), "1\n000000000|000|0|1|" + d + "/Proj.dpr|Proj.dpr\n");
    // Restoring keeps a backup first, so restoring the newest undoes the restore.
    ASSERT_EQ(Fav({"restore"}).status, 0);
    EXPECT_EQ(Value(), three);

    const std::string before = ReadFile(registry);
    ExpectRefused(Fav({"restore", "9"}), "there is no backup 9 (4 in " + folder + ")");
    ExpectRefused(Fav({"restore", "0"}), "there is no backup 0");
    ExpectRefused(Fav({"restore", "one"}), "must be a whole number");
    ExpectRefused(Fav({"restore", "1", "2"}), "unexpected argument");
    EXPECT_EQ(ReadFile(registry), before);

    // Importing replaces the value too, so it keeps a backup first.
    ASSERT_EQ(Fav({"import-value"}, EmptyValue).status, 0);
    const Result after = Fav({"backups"});
    EXPECT_EQ(after.out.rfind("1  ", 0), 0u);
    EXPECT_NE(after.out.find("5  "), std::string::npos) << after.out;
    EXPECT_NE(after.out.substr(0, after.out.find('\n')).find("3 favorites, 0 groups"),
              std::string::npos)
        << after.out;
}

// A small tree with known ids, as the other tool tests below start from.
class FavoritesToolTree : public FavoritesToolFiles {
protected:
    void SetUp() override {
        FavoritesToolFiles::SetUp();
        if (IsSkipped())
            return;
        const std::string records = "7\n"
                                    "000000000|000|2|1|" +
                                    d +
                                    "/Unit1.pas|Unit1.pas\n"
                                    "000000000|001|4|2|" +
                                    d +
                                    "/src/|src\n"
                                    "000000000|002|5|3||Tools\n"
                                    "000000000|003|5|4||Empty\n"
                                    "000000003|000|0|5|" +
                                    d +
                                    "/Proj.dpr|Proj.dpr\n"
                                    "000000003|001|5|6||Sub\n"
                                    "000000006|000|3|7|" +
                                    d + "/notes.txt|notes.txt\n";
        ASSERT_EQ(Fav({"import-value"}, RunTool({"encode"}, records).out).status, 0);
    }
    // The stored records in (parent, position) order, ignoring where a command put them in
    // the list.
    std::vector<std::string> Sorted() const {
        std::vector<std::string> lines;
        std::istringstream in(Records());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        if (!lines.empty())
            lines.erase(lines.begin()); // LastID
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    std::string Rec(int parent, int position, int type, int id, const std::string& path,
                    const std::string& alias) const {
        char head[16];
        std::snprintf(head, sizeof head, "%09d|%03d|", parent, position);
        return head + std::to_string(type) + "|" + std::to_string(id) + "|" +
               (path.empty() ? "" : d + path) + "|" + alias;
    }
};

TEST_F(FavoritesToolTree, RemoveRenameMove) {
    const std::vector<std::string> before = Sorted();
    const std::string unit = Rec(0, 0, 2, 1, "/Unit1.pas", "Unit1.pas");
    const std::string src = Rec(0, 1, 4, 2, "/src/", "src");
    const std::string tools = Rec(0, 2, 5, 3, "", "Tools");
    const std::string empty = Rec(0, 3, 5, 4, "", "Empty");
    const std::string proj = Rec(3, 0, 0, 5, "/Proj.dpr", "Proj.dpr");
    const std::string sub = Rec(3, 1, 5, 6, "", "Sub");
    const std::string notes = Rec(6, 0, 3, 7, "/notes.txt", "notes.txt");
    struct Case {
        std::vector<std::string> args;
        std::string says;
        std::vector<std::string> after; // sorted
    };
    const std::vector<Case> cases = {
        // The other children keep their positions, as in the Edit dialog.
        {{"remove", "1"},
         "Removed Unit \"Unit1.pas\" (id 1)\n",
         {src, tools, empty, proj, sub, notes}},
        {{"remove", "4"}, "Removed Group \"Empty\" (id 4)\n", {unit, src, tools, proj, sub, notes}},
        {{"rename", "6", "Inner"},
         "Renamed Group \"Sub\" (id 6) to \"Inner\"\n",
         {unit, src, tools, empty, proj, Rec(3, 1, 5, 6, "", "Inner"), notes}},
        {{"rename", "1", ""},
         "Renamed Unit \"Unit1.pas\" (id 1) to \"\"\n",
         {Rec(0, 0, 2, 1, "/Unit1.pas", ""), src, tools, empty, proj, sub, notes}},
        // A unit goes in front of the group, which moves up one.
        {{"move", "1", "--parent", "3"},
         "Moved Unit \"Unit1.pas\" (id 1) to group 3, position 1\n",
         {src, tools, empty, proj, Rec(3, 1, 2, 1, "/Unit1.pas", "Unit1.pas"),
          Rec(3, 2, 5, 6, "", "Sub"), notes}},
        // A group with its members, after the top level's groups; the old place is a gap.
        {{"move", "6", "--parent=0"},
         "Moved Group \"Sub\" (id 6) to group 0, position 4\n",
         {unit, src, tools, empty, Rec(0, 4, 5, 6, "", "Sub"), proj, notes}},
        {{"move", "--parent", "4", "3"},
         "Moved Group \"Tools\" (id 3) to group 4, position 0\n",
         {unit, src, empty, proj, sub, Rec(4, 0, 5, 3, "", "Tools"), notes}},
        {{"move", "7", "--parent", "0"},
         "Moved File \"notes.txt\" (id 7) to group 0, position 1\n",
         {unit, Rec(0, 1, 3, 7, "/notes.txt", "notes.txt"), Rec(0, 2, 4, 2, "/src/", "src"),
          Rec(0, 3, 5, 3, "", "Tools"), Rec(0, 4, 5, 4, "", "Empty"), proj, sub}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        SetUp();
        ASSERT_EQ(Sorted(), before);
        const Result r = Fav(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.says);
        EXPECT_EQ(Sorted(), c.after);
        EXPECT_EQ(Records().substr(0, 2), "7\n"); // no id is issued
    }
}

TEST_F(FavoritesToolTree, RefusalsChangeNothing) {
    const std::string before = ReadFile(registry);
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"remove", "3"}, "remove: Cann't Delete. Item contains sub items."},
        {{"remove", "99"}, "there is no favorite or group with id 99"},
        {{"remove", "0"}, "there is no favorite or group with id 0"},
        {{"rename", "1", "a|b"}, "the alias must not contain '|'"},
        {{"rename", "1", "a\nb"}, "the alias must be on one line"},
        {{"rename", "42", "x"}, "with id 42"},
        {{"move", "3", "--parent", "3"}, "a group cannot move into itself or one of its own"},
        {{"move", "3", "--parent", "6"}, "a group cannot move into itself or one of its own"},
        {{"move", "1", "--parent", "5"}, "there is no group with id 5"},
        {{"move", "1", "--parent", "99"}, "with id 99"},
        {{"move", "0", "--parent", "3"}, "with id 0"},
        {{"relocate", "", d + "/x"}, "OLD must name a folder"},
        {{"relocate", d, ""}, "NEW must name a folder"},
        {{"relocate", d, "/new|x"}, "the folder NEW must not contain '|'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        ExpectRefused(Fav(c.args), c.says);
        EXPECT_EQ(ReadFile(registry), before);
    }
}

TEST_F(FavoritesToolFiles, RelocateAValueFromWindows) {
    fs::create_directories(dir / "Projects" / "App");
    WriteFile(dir / "Projects" / "App" / "Main.dpr", "x");
    const std::string records = "6\n"
                                "000000000|000|0|1|C:\\Users\\me\\Projects\\App\\Main.dpr|Main\n"
                                "000000000|001|4|2|c:\\users\\ME\\projects\\App\\|App\n"
                                "000000000|002|5|3||C:\\Users\\me\\Projects\n"
                                "000000003|000|2|4|C:\\Users\\me\\Projects\\Gone.pas|Gone\n"
                                "000000003|001|3|5|C:\\Users\\me\\ProjectsOld\\a.txt|Old\n"
                                "000000003|002|3|6|" +
                                d + "/notes.txt|Here\n";
    ASSERT_EQ(Fav({"import-value"}, RunTool({"encode"}, records).out).status, 0);
    const std::string to = d + "/Projects";
    const std::string changes = "Project \"Main\": C:\\Users\\me\\Projects\\App\\Main.dpr -> " +
                                to +
                                "/App/Main.dpr\n"
                                "Folder \"App\": c:\\users\\ME\\projects\\App\\ -> " +
                                to +
                                "/App/\n"
                                "Unit \"Gone\": C:\\Users\\me\\Projects\\Gone.pas -> " +
                                to + "/Gone.pas\n";

    const std::string before = ReadFile(registry);
    const Result dry = Fav({"relocate", "C:\\Users\\me\\Projects", to, "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, changes + "Would re-point 3 favorites; 2 of them exist on disk. Nothing "
                                 "saved (--dry-run).\n");
    EXPECT_EQ(ReadFile(registry), before);

    const Result r = Fav({"relocate", "C:/Users/me/Projects/", to});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, changes + "Re-pointed 3 favorites; 2 of them exist on disk.\n");
    EXPECT_EQ(Records(), "6\n"
                         "000000000|000|0|1|" +
                             to +
                             "/App/Main.dpr|Main\n"
                             "000000000|001|4|2|" +
                             to +
                             "/App/|App\n"
                             "000000000|002|5|3||C:\\Users\\me\\Projects\n"
                             "000000003|000|2|4|" +
                             to +
                             "/Gone.pas|Gone\n"
                             "000000003|001|3|5|C:\\Users\\me\\ProjectsOld\\a.txt|Old\n"
                             "000000003|002|3|6|" +
                             d + "/notes.txt|Here\n");

    // Back to the Windows form; a relative NEW is taken from the current folder.
    const Result back = Fav({"relocate", to, "D:\\Work"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_NE(Records().find("|D:\\Work\\App\\Main.dpr|"), std::string::npos);
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const Result relative = Fav({"relocate", "d:\\work", "Projects"});
    const std::string afterRelative = Records();
    const Result relativeOld = Fav({"relocate", "Projects/App", "/moved"});
    fs::current_path(cwd);
    EXPECT_EQ(relative.status, 0) << relative.err;
    EXPECT_NE(afterRelative.find("|" + to + "/App/Main.dpr|"), std::string::npos);
    EXPECT_EQ(relativeOld.status, 0) << relativeOld.err;
    EXPECT_NE(Records().find("|/moved/Main.dpr|"), std::string::npos);

    const std::string now = ReadFile(registry);
    const Result none = Fav({"relocate", "/nowhere", "/else"});
    EXPECT_EQ(none.out, "Re-pointed 0 favorites; 0 of them exist on disk.\n");
    EXPECT_EQ(ReadFile(registry), now);
}

TEST_F(FavoritesToolTree, CheckNamesTheMissingWithTheirGroups) {
    const Result all = Fav({"check"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "");

    fs::remove(dir / "notes.txt");
    fs::remove(dir / "src");
    const Result some = Fav({"check"});
    EXPECT_EQ(some.status, 1) << some.err;
    EXPECT_EQ(some.out, "Favorites: Folder \"src\" " + d + "/src/\n" +
                            "Favorites/Tools/Sub: File \"notes.txt\" " + d + "/notes.txt\n");

    const Result json = Fav({"check", "--json"});
    EXPECT_EQ(json.status, 1) << json.err;
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    ASSERT_EQ(doc["missing"].size(), 2u);
    const nlohmann::json& notes = doc["missing"][1];
    EXPECT_EQ(notes["id"], 7);
    EXPECT_EQ(notes["kind"], "File");
    EXPECT_EQ(notes["type"], 3);
    EXPECT_EQ(notes["alias"], "notes.txt");
    EXPECT_EQ(notes["path"], d + "/notes.txt");
    EXPECT_EQ(notes["parent"], 6);
    EXPECT_EQ(notes["group"], nlohmann::json::array({"Favorites", "Tools", "Sub"}));

    WriteFile(registry, "not a registry file");
    ExpectRefused(Fav({"check"}), "Cannot read the registry file", 2);
    ExpectRefused(Fav({"check", "--json"}), "Cannot read the registry file", 2);
}

TEST_F(FavoritesToolTree, ListAsJson) {
    fs::remove(dir / "Proj.dpr");
    const Result r = Fav({"list", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    const nlohmann::json doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["lastId"], 7);
    const nlohmann::json& top = doc["children"];
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0], nlohmann::json({{"id", 1},
                                      {"kind", "Unit"},
                                      {"type", 2},
                                      {"alias", "Unit1.pas"},
                                      {"path", d + "/Unit1.pas"},
                                      {"exists", true}}));
    EXPECT_EQ(top[1]["kind"], "Folder");
    EXPECT_EQ(top[1]["exists"], true);
    const nlohmann::json& tools = top[2];
    EXPECT_EQ(tools["kind"], "Group");
    EXPECT_FALSE(tools.contains("exists"));
    ASSERT_EQ(tools["children"].size(), 2u);
    EXPECT_EQ(tools["children"][0]["exists"], false);
    EXPECT_EQ(tools["children"][1]["children"][0]["alias"], "notes.txt");
    EXPECT_EQ(top[3]["children"], nlohmann::json::array());

    // 8-bit text from Windows comes out as UTF-8; a group inside itself once.
    const std::string value = RunTool({"encode"}, "3\n000000000|000|3|1|C:\\J\xFCrgen.txt|\xFC\n"
                                                  "000000000|001|5|2||A\n000000002|000|5|2||A\n")
                                  .out;
    ASSERT_EQ(Fav({"import-value"}, value).status, 0);
    const nlohmann::json odd = nlohmann::json::parse(Fav({"list", "--json"}).out);
    EXPECT_EQ(odd["children"][0]["path"], "C:\\J\xC3\xBCrgen.txt");
    EXPECT_EQ(odd["children"][0]["alias"], "\xC3\xBC");
    EXPECT_EQ(odd["children"][1]["children"][0]["children"], nlohmann::json::array());
}

#ifndef _WIN32
// Decoded records (LastID first) hold the adds of every writer ("w<writer>-<n>"), each with
// an id of its own.
void ExpectEveryAdd(const std::string& records, int writers, int adds) {
    std::set<std::string> ids;
    std::istringstream lines(records);
    std::string line;
    std::getline(lines, line); // LastID
    EXPECT_EQ(line, std::to_string(writers * adds));
    while (std::getline(lines, line))
        ids.insert(line.substr(16, line.find('|', 16) - 16));
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(writers * adds)) << "repeated ids";
    for (int w = 0; w < writers; ++w)
        for (int i = 1; i <= adds; ++i) {
            const std::string alias = "|w" + std::to_string(w) + "-" + std::to_string(i);
            EXPECT_NE(records.find(alias + "\n"), std::string::npos) << alias << records;
        }
}

// Names, sizes and times of everything below a folder, to tell that nothing was written.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(const fs::path& top) {
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(top, ec), end; !ec && it != end; it.increment(ec))
        found[it->path().string()] = {it->is_regular_file() ? it->file_size() : 0,
                                      it->last_write_time()};
    return found;
}

TEST_F(FavoritesToolFiles, ReadingCommandsWriteNothing) {
    ASSERT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    ASSERT_EQ(Fav({"add", d + "/notes.txt"}).status, 0); // and a backup
    const std::string value = Value();
    // A missing registry file in a folder that may not be written, and the file made above.
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const std::string missing = (dir / "locked" / "sub" / "HKEY_CURRENT_USER.reg").string();
    const std::string out = (dir / "out.reg").string();
    const std::vector<std::vector<std::string>> commands = {
        {"list"}, {"list", "--json"}, {"check"}, {"check", "--json"}, {"export-value"},
        {"export-reg", out}, {"backups"}, {"decode"}, {"--help"}, {"list", "--help"},
    };
    for (const std::string& file : {missing, registry}) {
        const auto before = Snapshot(dir / "locked");
        const auto beforeCfg = Snapshot(dir / "cfg");
        for (std::vector<std::string> args : commands) {
            SCOPED_TRACE(file + ": " + args[0] + (args.size() > 1 ? " " + args[1] : ""));
            args.insert(args.begin(), {"--registry", file});
            const Result r = RunTool(args, args[2] == "decode" ? value : "");
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
        }
        EXPECT_EQ(Snapshot(dir / "locked"), before);
        EXPECT_EQ(Snapshot(dir / "cfg"), beforeCfg);
    }
    EXPECT_FALSE(fs::exists(dir / "locked" / "sub"));
    EXPECT_EQ(RunTool({"--registry", missing, "list"}).out, "");
    fs::permissions(dir / "locked", fs::perms::owner_all);
}

// Real processes saving at once: every one of their changes is kept.
TEST_F(FavoritesToolFiles, ManyWritersAtOnceLoseNothing) {
    constexpr int Writers = 4, Adds = 15;
    std::vector<pid_t> shells;
    for (int w = 0; w < Writers; ++w) {
        const std::string script = "for i in $(seq 1 " + std::to_string(Adds) +
                                   "); do \"$0\" --registry \"$1\" add --alias \"w" +
                                   std::to_string(w) + "-$i\" \"$2\" || exit 1; done";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", script.c_str(), FAVORITES_EXE, registry.c_str(),
                    (d + "/Unit1.pas").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        shells.push_back(pid);
    }
    for (const pid_t pid : shells) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    ExpectEveryAdd(Records(), Writers, Adds);
}

// Another program stores a rename of the same item while the tool waits for the lock: the tool
// says that it merged, which alias it took, and where the other one is kept.
TEST_F(FavoritesToolFiles, AClashIsNamedWithTheBackupThatHoldsTheOtherValue) {
    ASSERT_EQ(Fav({"add", d + "/Unit1.pas"}).status, 0);
    const std::string theirs =
        RunTool({"encode"}, "1\n000000000|000|2|1|" + d + "/Unit1.pas|by other\n").out;
    SetRegistryFile(registry);
    Started tool;
    {
        const TRegistryLock lock("\\Favorites");
        tool = StartTool({"--registry", registry, "rename", "1", "by tool"});
        // The tool has read the value once it opens the lock file (after its exec: until
        // then the child holds this process's descriptors).
        const fs::path proc = "/proc/" + std::to_string(tool.pid);
        const fs::path exe = fs::canonical(FAVORITES_EXE);
        bool waiting = false;
        for (int i = 0; i < 2000 && !waiting; ++i) {
            std::error_code ec;
            if (fs::read_symlink(proc / "exe", ec) == exe)
                for (fs::directory_iterator it(proc / "fd", ec), end; !ec && it != end;
                     it.increment(ec))
                    waiting = waiting || fs::read_symlink(it->path(), ec) == registry + ".lock";
            if (!waiting)
                ::usleep(2000);
        }
        ASSERT_TRUE(waiting) << "the tool never waited for the lock";
        TRegIniFile("\\Favorites")
            .WriteBinaryData("Items", reinterpret_cast<const std::uint8_t*>(theirs.data()),
                             theirs.size());
    }
    const Result r = FinishTool(tool);
    SetRegistryFile("");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string backups = registry.substr(0, registry.rfind('/')) + "/backups/";
    const std::string prefix = "favorites: merged with changes another program stored meanwhile\n"
                               "favorites: item 1: took this command's alias \"by tool\"; the "
                               "other program's alias \"by other\" is kept in " + backups;
    ASSERT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    const std::string backup = r.err.substr(prefix.size() - backups.size(),
                                            r.err.find('\n', prefix.size()) - prefix.size() + backups.size());
    const TRegDocument document = LoadRegFile(backup);
    const TRegValue* kept = document.FindValue("HKEY_CURRENT_USER\\Favorites", "Items");
    ASSERT_NE(kept, nullptr) << backup;
    EXPECT_EQ(std::string(kept->Data.begin(), kept->Data.end()), theirs);
    EXPECT_NE(Records().find("|by tool\n"), std::string::npos);
}
#endif

#ifdef _WIN32
// favorites.exe on the registry of the current user. The stored value is put back after each
// test; ctest runs these tests one at a time (RESOURCE_LOCK).
class FavoritesToolWinRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        saved = GetRaw();
        DeleteValue();
        dir = fs::path(::testing::TempDir()) /
              ("tool_win_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "src");
        for (const char* name : {"Proj.dpr", "Unit1.pas"})
            WriteFile(dir / name, "x");
        d = dir.string();
    }
    void TearDown() override {
        fs::remove_all(dir);
        DeleteValue();
        if (saved)
            SetRaw(saved->first, saved->second);
    }

    using Raw = std::optional<std::pair<DWORD, std::string>>;
    static Raw GetRaw() {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Favorites", 0, KEY_READ, &k) != ERROR_SUCCESS)
            return std::nullopt;
        Raw raw;
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(k, "Items", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::string data(size, '\0');
            if (RegQueryValueExA(k, "Items", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                 &size) == ERROR_SUCCESS)
                raw.emplace(type, data.substr(0, size));
        }
        RegCloseKey(k);
        return raw;
    }
    static void SetRaw(DWORD type, const std::string& data) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Favorites", 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &k, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(k, "Items", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static void DeleteValue() {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Favorites", 0, KEY_WRITE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, "Items");
            RegCloseKey(k);
        }
    }

    Raw saved;
    fs::path dir;
    std::string d;
};

TEST_F(FavoritesToolWinRegistry, AddListAndTheStoredValue) {
    EXPECT_EQ(RunTool({"list"}).out, "");
    const Result unit = RunTool({"add", d + "\\Unit1.pas"});
    EXPECT_EQ(unit.status, 0) << unit.err;
    const Result folder = RunTool({"add", "--alias", "Sources", d + "/src/"});
    EXPECT_EQ(folder.status, 0) << folder.err;

    // Paths come back absolute and with the native separator.
    const std::string tree =
        "Unit \"Unit1.pas\" " + d + "\\Unit1.pas\nFolder \"Sources\" " + d + "\\src\\\n";
    EXPECT_EQ(RunTool({"list"}).out, tree);
    fs::remove(dir / "src");
    EXPECT_EQ(RunTool({"list"}).out, "Unit \"Unit1.pas\" " + d +
                                         "\\Unit1.pas\nFolder \"Sources\" " + d +
                                         "\\src\\ [missing]\n");

    // export-value gives the REG_BINARY value as stored.
    const Result value = RunTool({"export-value"});
    EXPECT_EQ(value.status, 0) << value.err;
    EXPECT_EQ(GetRaw(), Raw(std::make_pair(DWORD{REG_BINARY}, value.out)));
    EXPECT_EQ(RunTool({"decode"}, value.out).out, "2\n000000000|000|2|1|" + d +
                                                      "\\Unit1.pas|Unit1.pas\n000000000|001|4|2|" +
                                                      d + "\\src\\|Sources\n");

    const std::string other = RunTool({"encode"}, "26\n000000000|000|3|26|C:\\x.txt|x\n").out;
    const Result imported = RunTool({"import-value"}, other);
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(RunTool({"export-value"}).out, other);
}

TEST_F(FavoritesToolWinRegistry, TypedValuesAreRefusedAndKept) {
    const std::string value = RunTool({"encode"}, "1\n000000000|000|3|1|C:\\x|x\n").out;
    const std::string one("\x01\0\0\0", 4);
    const std::pair<DWORD, std::string> stores[] = {
        {REG_SZ, std::string("TPF0", 5)},
        {REG_DWORD, one},
    };
    const std::vector<std::vector<std::string>> commands = {
        {"list"}, {"add", d + "\\Proj.dpr"}, {"add-request"}, {"import-value"}, {"export-value"},
    };
    for (const auto& [type, data] : stores) {
        SetRaw(type, data);
        for (const auto& command : commands) {
            SCOPED_TRACE(std::to_string(type) + " / " + command[0]);
            ExpectRefused(
                RunTool(command, command[0] == "import-value" ? value : "2\nA\nC:\\p.pas\n"),
                "Invalid data type for 'Items'");
            EXPECT_EQ(GetRaw(), Raw(std::make_pair(type, data)));
        }
    }
}

// A value made off Windows, re-pointed to this machine's folders on the registry itself.
TEST_F(FavoritesToolWinRegistry, RelocateCheckAndEditOnTheRegistry) {
    const std::string records = "3\n000000000|000|2|1|/home/me/Projects/Unit1.pas|Unit1.pas\n"
                                "000000000|001|5|2||G\n"
                                "000000002|000|4|3|/home/me/Projects/src/|src\n";
    ASSERT_EQ(RunTool({"import-value"}, RunTool({"encode"}, records).out).status, 0);
    const Result missing = RunTool({"check"});
    EXPECT_EQ(missing.status, 1) << missing.err;
    EXPECT_EQ(missing.out, "Favorites: Unit \"Unit1.pas\" /home/me/Projects/Unit1.pas\n"
                           "Favorites/G: Folder \"src\" /home/me/Projects/src/\n");

    const Result moved = RunTool({"relocate", "/home/me/Projects", d});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(moved.out.find("Re-pointed 2 favorites; 2 of them exist on disk."), std::string::npos)
        << moved.out;
    const Result none = RunTool({"check", "--json"});
    EXPECT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(nlohmann::json::parse(none.out)["missing"], nlohmann::json::array());
    const nlohmann::json tree = nlohmann::json::parse(RunTool({"list", "--json"}).out);
    EXPECT_EQ(tree["children"][0]["path"], d + "\\Unit1.pas");
    EXPECT_EQ(tree["children"][1]["children"][0]["path"], d + "\\src\\");
    EXPECT_EQ(tree["children"][1]["children"][0]["exists"], true);

    EXPECT_EQ(RunTool({"rename", "1", "U"}).status, 0);
    EXPECT_EQ(RunTool({"move", "3", "--parent", "0"}).status, 0);
    EXPECT_EQ(RunTool({"remove", "2"}).status, 0);
    EXPECT_EQ(RunTool({"decode"}, RunTool({"export-value"}).out).out,
              "3\n000000000|000|2|1|" + d + "\\Unit1.pas|U\n000000000|001|4|3|" + d +
                  "\\src\\|src\n");
}

TEST_F(FavoritesToolWinRegistry, RegistryFileOptionIsRefused) {
    ExpectRefused(RunTool({"--registry", d + "\\r.reg", "add", d + "\\Unit1.pas"}), "--registry");
    EXPECT_EQ(GetRaw(), Raw());
    EXPECT_FALSE(fs::exists(dir / "r.reg"));
}
#endif

} // namespace
