// favorites: the favorites store from the command line. Works on the same registry value as
// the add-in (the registry file off Windows), so favorites can be listed, added, moved
// between machines as .reg files, and their stored bytes inspected.
#include "Exception.h"
#include "FavConsts.h"
#include "FavRecovery.h"
#include "FavUtils.h"
#include "Paths.h"
#include "RegFile.h"
#include "Registry.h"
#include "RegistryLock.h"
#include "StringList.h"
#include "Tool.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace tool {

constexpr std::string_view Usage =
    R"(Usage: favorites [--registry FILE] COMMAND [ARGUMENTS]

Works on the favorites stored in the registry value HKEY_CURRENT_USER\Favorites\Items.
Off Windows the registry is the file given by --registry, else $QUARVEL_REGISTRY, else
$XDG_CONFIG_HOME/Quarvel/HKEY_CURRENT_USER.reg.

Commands:
  list [--json]               show the favorites as a tree, groups with their ids;
                              missing files and folders are marked [missing]; with
                              --json the tree as a JSON document (id, kind, type,
                              alias, path, exists, children)
  check [--json]              list the favorites whose file or folder is missing,
                              with their groups; exit status 0 when none is, 1 when
                              some are, 2 on an error
  add [--parent ID] [--alias TEXT] PATH
                              add a file or folder under group ID (default 0, the top
                              level); the alias defaults to the file or folder name
  add-request [--parent ID]   pass an add request read from standard input (type code,
                              alias, then the path or the group's files, one per line)
                              to the collection; prints the position and the parent id
  encode                      read LastID and one record per line from standard input,
                              write the stored value's bytes to standard output
  decode                      the reverse: bytes in, LastID and records out
  export-value                write the stored value's bytes to standard output
  import-value                store the bytes read from standard input as the value
  export-reg FILE             write the value to FILE in the registry editor's format
  import-reg FILE             store the value read from a registry editor file
  remove ID                   remove the favorite or empty group ID
  rename ID ALIAS             give the favorite or group ID a new alias
  move ID --parent GROUP      move the favorite or group ID into group GROUP (0, the
                              top level), in front of its first member of a later
                              kind
  relocate OLD NEW [--dry-run]
                              re-point every favorite under the folder OLD to the
                              same place under NEW ('/' and '\' alike, letter case
                              ignored for Windows paths); prints each change and how
                              many of them exist; --dry-run saves nothing
  repair                      recover the records of a stored value that cannot be
                              read and store them as a clean value
  backups                     list the backups of the stored value, newest first
  restore [N]                 put backup N (default 1, the newest) back

Every command that changes the stored value keeps the value it replaces as a backup
first (the newest 20 are kept); a change stored meanwhile by another program (an IDE)
is merged, not lost. Saves take turns through a lock (FILE.lock beside the registry
file); a save that waits 10 seconds for it writes nothing and fails. Reading commands
write nothing.

Options:
  --registry FILE             use FILE as the registry (off Windows)
  --help                      show this help
  --version                   show the program's name and version

Every failure prints one line on standard error, leaves the stored favorites as they
were and exits with status 1 (check: 2).
)";

// Reads to the end, straight into the result. A file's size is known beforehand: one buffer
// of that size then takes it all, where a growing one would copy it again and again into
// fresh pages, which costs more than the reading itself.
std::vector<std::uint8_t> ReadAll(std::FILE* f, const std::string& what) {
    std::vector<std::uint8_t> bytes;
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size) + 1); // + 1: room to see the end
    for (;;) {
        if (bytes.size() == bytes.capacity())
            bytes.reserve(std::max<std::size_t>(2 * bytes.capacity(), 1 << 16));
        const std::size_t used = bytes.size();
        bytes.resize(bytes.capacity());
        const std::size_t n = std::fread(bytes.data() + used, 1, bytes.size() - used, f);
        bytes.resize(used + n);
        if (n == 0)
            break;
    }
    if (std::ferror(f))
        throw ToolError("cannot read " + what);
    return bytes;
}

std::vector<std::uint8_t> ReadStdin() {
    return ReadAll(stdin, "standard input");
}

// Lines of standard input without their line ends (a CR before the LF goes too); a last
// line without a line end counts, an empty input has no lines.
std::vector<std::string> ReadStdinLines() {
    const std::vector<std::uint8_t> bytes = ReadStdin();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

void WriteStdout(const void* data, std::size_t size) {
    if ((size > 0 && std::fwrite(data, 1, size, stdout) != size) || std::fflush(stdout) != 0)
        throw ToolError("cannot write to standard output");
}

void WriteStdout(std::string_view text) {
    WriteStdout(text.data(), text.size());
}

std::int32_t ParseInt(std::string_view text, const std::string& what) {
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw ToolError(what + " must be a whole number, not \"" + std::string(text) + "\"");
    return value;
}

// The store's kind words, plus the ones a listing needs.
std::string ListKindWord(int type) {
    if (type == fitGroup)
        return "Group";
    const std::string word = KindWord(type);
    return word.empty() ? "Type " + std::to_string(type) : word;
}

std::string ValueKey() {
    return TFavoriteItems().RegistryKeyName();
}

// Loads the stored favorites; any error ends the command before anything is written.
void Load(TFavoriteItems& items) {
    try {
        items.LoadFromReg();
    } catch (const EReadError& e) {
        throw ToolError("the stored favorites (" + ValueKey() + "\\" + std::string(sFavIdent) +
                        ") cannot be read: " + e.Message());
    }
}

// "alias \"Home\"", "group 12": a record field as a clash line names it.
std::string FieldText(int field, const std::string& value) {
    switch (field) {
    case 0:
        return "group " + std::to_string(GetIntPart(value, 0, '|'));
    case 2:
        return "type " + std::to_string(GetIntPart(value, 0, '|'));
    case 4:
        return "path \"" + value + "\"";
    default:
        return "alias \"" + value + "\"";
    }
}

std::string KeptIn(const std::string& backup) {
    return backup.empty() ? "could not be kept (see below)" : "is kept in " + backup;
}

// One line on a clash between this command's changes and another program's.
std::string ClashLine(const TMergeClash& clash, const TSaveReport& report) {
    const std::string item = "favorites: item " + std::to_string(clash.Id) + ": ";
    switch (clash.Kind) {
    case TMergeClash::BothChanged:
        return item + "took this command's " + FieldText(clash.Field, clash.Taken) +
               "; the other program's " + FieldText(clash.Field, clash.Other) + " " +
               KeptIn(report.StoredBackup);
    case TMergeClash::MineDeleted:
        return item + "removed, though another program had changed it meanwhile; its changed "
                      "record " +
               KeptIn(report.StoredBackup);
    case TMergeClash::TheirsDeleted:
        break;
    }
    return item + "another program removed it meanwhile, so this command's change gave way; it " +
           KeptIn(report.OwnBackup);
}

// Tells on standard error what the user should know about a save that succeeded: that it
// merged with changes stored meanwhile, each clash, a backup that could not be kept.
void Report(const TSaveReport& report) {
    constexpr std::size_t ClashesShown = 10;
    std::string note;
    if (report.Merged)
        note += "favorites: merged with changes another program stored meanwhile\n";
    for (std::size_t i = 0; i < report.Clashes.size() && i < ClashesShown; ++i)
        note += ClashLine(report.Clashes[i], report) + "\n";
    if (report.Clashes.size() > ClashesShown)
        note += "favorites: and " + std::to_string(report.Clashes.size() - ClashesShown) +
                " more clash(es)\n";
    if (!report.BackupError.empty())
        note += "favorites: warning: saved, but the value replaced could not be kept as a "
                "backup: " +
                report.BackupError + "\n";
    std::fputs(note.c_str(), stderr);
}

// Saves a loaded collection; every command that changes the favorites saves through here.
void Save(TFavoriteItems& items) {
    Report(items.SaveToReg());
}

std::vector<std::uint8_t> StoredBytes() {
    TRegistryStream stream;
    stream.LoadFromRegistry(TFavoriteItems().GetSection(), std::string(sFavIdent));
    return stream.Bytes();
}

// Stores bytes that decode, after checking that the current value loads. `source` names
// where the bytes came from.
void StoreValidated(const std::vector<std::uint8_t>& bytes, const std::string& source) {
    TFavoriteItems current;
    // The value checked is the value replaced.
    const TRegistryLock lock(current.GetSection());
    Load(current);
    if (bytes.empty())
        throw ToolError(source + " holds no bytes");
    TFavoriteItems check;
    try {
        ReadFavoriteStream(bytes, check);
    } catch (const EReadError& e) {
        throw ToolError(source + " cannot be read: " + e.Message());
    }
    Report(ReplaceStoredValue(current.GetSection(), bytes));
}

// ---- Commands ------------------------------------------------------------------------------

using Args = std::vector<std::string>;

void ExpectNoMore(const Args& args, std::size_t used, const std::string& command) {
    if (args.size() > used)
        throw ToolError(command + ": unexpected argument \"" + args[used] + "\"");
}

// Takes "--name VALUE" or "--name=VALUE" at args[i]; true when it matched.
bool TakeOption(const Args& args, std::size_t& i, std::string_view name, std::string& value) {
    const std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size())
            throw ToolError(std::string(name) + " needs a value");
        value = args[++i];
        return true;
    }
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        value = std::string(arg.substr(name.size() + 1));
        return true;
    }
    return false;
}

bool JsonOption(const Args& args, const std::string& command) {
    for (const std::string& arg : args)
        if (arg != "--json")
            throw ToolError(command + ": unexpected argument \"" + arg + "\"");
    return !args.empty();
}

int CmdList(const Args& args) {
    const bool json = JsonOption(args, "list");
    TFavoriteItems items;
    Load(items);
    if (json) {
        WriteTreeJson(items);
        return 0;
    }
    TExistence existence;
    TOutput out;
    std::size_t depth = 0;
    WalkTree(
        items, 0,
        [&](const TTreeItem& item) {
            out << std::string(2 * depth, ' ') << ListKindWord(item.Type) << " \"" << item.Alias
                << "\"";
            if (!item.Path.empty())
                out << " " << item.Path;
            if (item.Type == fitGroup) { // the id that add --parent takes
                out << " (id " << std::to_string(item.Id) << ")";
                ++depth;
            }
            if (existence.Missing(item.Type, item.Path))
                out << " [missing]";
            out << "\n";
        },
        [&](const TTreeItem&) { --depth; });
    out.Flush();
    return 0;
}

bool IsGroup(const TFavoriteItems& items, int id) {
    for (const std::string& record : items.Items())
        if (GetIntPart(record, 3, '|') == id && GetIntPart(record, 2, '|') == fitGroup)
            return true;
    return false;
}

int CmdAdd(const Args& args) {
    std::string parentText = "0", alias, path;
    bool haveAlias = false, havePath = false, optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded) {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (TakeOption(args, i, "--parent", parentText))
                continue;
            if (TakeOption(args, i, "--alias", alias)) {
                haveAlias = true;
                continue;
            }
            if (arg.size() > 1 && arg[0] == '-')
                throw ToolError("add: unknown option \"" + arg + "\"");
        }
        if (havePath)
            throw ToolError("add: unexpected argument \"" + arg + "\"");
        path = arg;
        havePath = true;
    }
    if (!havePath)
        throw ToolError("add: missing PATH");
    const int parent = ParseInt(parentText, "--parent");

    TFavoriteItems items;
    Load(items);
    if (parent != 0 && !IsGroup(items, parent))
        throw ToolError("add: there is no group with id " + std::to_string(parent));
    if (path.find('|') != std::string::npos)
        throw ToolError("add: the path must not contain '|'");
    const bool folder = DirectoryExists(path);
    if (!folder && !FileExists(path))
        throw ToolError("add: \"" + path + "\" does not exist");
    // Favorites are opened later from anywhere, so they hold absolute paths.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (!ec)
        path = absolute.lexically_normal().string();
    if (path.find('|') != std::string::npos)
        throw ToolError("add: the full path \"" + path + "\" contains '|'");
    if (!haveAlias)
        alias = ExtractFileName(folder ? ExcludeOneTrailingSeparator(path) : path);
    if (IsBlank(alias))
        throw ToolError("add: " + std::string(sErrorAlias));
    if (alias.find('|') != std::string::npos)
        throw ToolError("add: the alias must not contain '|'");
    if (alias.find_first_of("\r\n") != std::string::npos ||
        path.find_first_of("\r\n") != std::string::npos)
        throw ToolError("add: the alias and the path must be on one line");

    const int type = folder ? fitFolder : GetFileItemType(path);
    TStringList request{std::to_string(type), alias, path};
    int parentId = parent;
    items.AddItems(parentId, &request);
    Save(items);
    WriteStdout("Added " + ListKindWord(type) + " \"" + alias + "\" with id " +
                std::to_string(items.LastID()) + " to group " + std::to_string(parent) + "\n");
    return 0;
}

int CmdAddRequest(const Args& args) {
    std::string parentText = "0";
    for (std::size_t i = 0; i < args.size(); ++i)
        if (!TakeOption(args, i, "--parent", parentText))
            throw ToolError("add-request: unexpected argument \"" + args[i] + "\"");
    int parentId = ParseInt(parentText, "--parent");
    TStringList request(ReadStdinLines());
    TFavoriteItems items;
    Load(items);
    const int position = items.AddItems(parentId, &request);
    Save(items);
    WriteStdout(std::to_string(position) + "\n" + std::to_string(parentId) + "\n");
    return 0;
}

int CmdEncode(const Args& args) {
    ExpectNoMore(args, 0, "encode");
    std::vector<std::string> lines = ReadStdinLines();
    if (lines.empty())
        throw ToolError("encode: the first line must hold LastID");
    TFavoriteItems items;
    items.SetLastID(ParseInt(lines.front(), "LastID"));
    lines.erase(lines.begin());
    items.SetItems(TStringList(std::move(lines)));
    const std::vector<std::uint8_t> bytes = WriteFavoriteStream(items);
    WriteStdout(bytes.data(), bytes.size());
    return 0;
}

int CmdDecode(const Args& args) {
    ExpectNoMore(args, 0, "decode");
    const std::vector<std::uint8_t> bytes = ReadStdin();
    TFavoriteStreamView value;
    try {
        // The records go out straight from the bytes read: no copy of each.
        value = ViewFavoriteStream(bytes);
    } catch (const EReadError& e) {
        throw ToolError("decode: standard input cannot be read: " + e.Message());
    }
    TOutput out;
    out << std::to_string(value.LastID.value_or(0)) << "\n";
    if (value.Items)
        for (const std::string_view record : *value.Items)
            out << record << "\n";
    out.Flush();
    return 0;
}

int CmdExportValue(const Args& args) {
    ExpectNoMore(args, 0, "export-value");
    const std::vector<std::uint8_t> bytes = StoredBytes();
    WriteStdout(bytes.data(), bytes.size());
    return 0;
}

int CmdImportValue(const Args& args) {
    ExpectNoMore(args, 0, "import-value");
    StoreValidated(ReadStdin(), "import-value: standard input");
    return 0;
}

int CmdExportReg(const Args& args) {
    if (args.empty())
        throw ToolError("export-reg: missing FILE");
    ExpectNoMore(args, 1, "export-reg");
    const std::vector<std::uint8_t> bytes = StoredBytes();
    TRegDocument document;
    document.AddKey(ValueKey());
    if (!bytes.empty()) {
        TRegValue value;
        value.Name = std::string(sFavIdent);
        value.Kind = TRegValueKind::Binary;
        value.Data = bytes;
        document.SetValue(ValueKey(), std::move(value));
    }
    SaveRegFile(args[0], document);
    return 0;
}

int CmdImportReg(const Args& args) {
    if (args.empty())
        throw ToolError("import-reg: missing FILE");
    ExpectNoMore(args, 1, "import-reg");
    const std::string& file = args[0];
    if (!FileExists(file))
        throw ToolError("import-reg: \"" + file + "\" does not exist");
    const TRegDocument document = LoadRegFile(file);
    const TRegValue* value = document.FindValue(ValueKey(), sFavIdent);
    if (!value || value->Kind != TRegValueKind::Binary)
        throw ToolError("import-reg: \"" + file + "\" holds no binary value \"" +
                        std::string(sFavIdent) + "\" under [" + ValueKey() + "]");
    StoreValidated(value->Data, "import-reg: the value in \"" + file + "\"");
    return 0;
}

// "12 favorites, 3 groups"
std::string Counts(const TFavoriteItems& items) {
    int groups = 0;
    for (const std::string& record : items.Items())
        groups += GetIntPart(record, 2, '|') == fitGroup ? 1 : 0;
    return std::to_string(items.Items().Count() - groups) + " favorites, " +
           std::to_string(groups) + " groups";
}

// The bytes of a stored value of any type, as far as a repair can use them.
std::vector<std::uint8_t> ValueBytes(const TRegValue& value) {
    switch (value.Kind) {
    case TRegValueKind::String:
        return std::vector<std::uint8_t>(value.Text.begin(), value.Text.end());
    case TRegValueKind::DWord:
        return {static_cast<std::uint8_t>(value.Number), static_cast<std::uint8_t>(value.Number >> 8),
                static_cast<std::uint8_t>(value.Number >> 16),
                static_cast<std::uint8_t>(value.Number >> 24)};
    default:
        return value.Data;
    }
}

// True when the value is a binary value that loads; the collection is then filled.
bool Decodes(const TRegValue& value, TFavoriteItems& items) {
    if (value.Kind != TRegValueKind::Binary || value.Data.empty())
        return false;
    try {
        ReadFavoriteStream(value.Data, items);
        return true;
    } catch (const EReadError&) {
        return false;
    }
}

int CmdRepair(const Args& args) {
    ExpectNoMore(args, 0, "repair");
    const std::string section = TFavoriteItems().GetSection();
    // The value repaired is the value replaced: no other writer comes in between.
    const TRegistryLock lock(section);
    const std::optional<TRegValue> value = TRegIniFile(section).ReadValue(std::string(sFavIdent));
    TFavoriteItems check;
    if (!value || (value->Kind == TRegValueKind::Binary && value->Data.empty()) ||
        Decodes(*value, check)) {
        WriteStdout("nothing to repair\n");
        return 0;
    }
    TFavoriteItems repaired;
    const TRepairOutcome outcome = RepairFavoriteStream(ValueBytes(*value), repaired);
    const TSaveReport report = ReplaceStoredValue(section, WriteFavoriteStream(repaired));
    WriteStdout("Recovered " + std::to_string(outcome.Recovered) + " of " +
                std::to_string(outcome.Seen) + " records (" + Counts(repaired) +
                "); the damaged value is kept in " + report.BackupFiles.back() + "\n");
    return 0;
}

int CmdBackups(const Args& args) {
    ExpectNoMore(args, 0, "backups");
    const std::vector<TBackup> backups = ListBackups();
    if (backups.empty()) {
        WriteStdout("no backups in " + BackupFolder() + "\n");
        return 0;
    }
    std::string out;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        std::string what;
        try {
            TFavoriteItems items;
            what = Decodes(ReadBackup(backups[i].File, ValueKey()), items) ? Counts(items)
                                                                            : "cannot be read";
        } catch (const ERegistryException&) {
            what = "cannot be read";
        }
        out += std::to_string(i + 1) + "  " + backups[i].Time + "  " + what + "  " +
               backups[i].File + "\n";
    }
    WriteStdout(out);
    return 0;
}

int CmdRestore(const Args& args) {
    ExpectNoMore(args, 1, "restore");
    const int n = args.empty() ? 1 : ParseInt(args[0], "restore: N");
    const std::vector<TBackup> backups = ListBackups();
    if (n < 1 || static_cast<std::size_t>(n) > backups.size())
        throw ToolError("restore: there is no backup " + std::to_string(n) + " (" +
                        std::to_string(backups.size()) + " in " + BackupFolder() + ")");
    const TBackup& backup = backups[static_cast<std::size_t>(n - 1)];
    // Read before anything is written: the backup kept below may rotate this one out.
    const TRegValue value = ReadBackup(backup.File, ValueKey());
    TFavoriteItems restored;
    if (!Decodes(value, restored))
        throw ToolError("restore: backup " + std::to_string(n) + " (" + backup.File +
                        ") holds a value that cannot be read");
    const TSaveReport report = ReplaceStoredValue(restored.GetSection(), value.Data);
    Report(report);
    WriteStdout("Restored the backup of " + backup.Time + " (" + Counts(restored) + ")" +
                (report.BackupFiles.empty()
                     ? std::string()
                     : "; the value it replaced is kept in " + report.BackupFiles.back()) +
                "\n");
    return 0;
}

struct TCommand {
    std::string_view Name;
    int (*Run)(const Args&);
    int FailureStatus = 1; // the exit status when the command fails
};

constexpr TCommand Commands[] = {
    {"list", CmdList},
    {"add", CmdAdd},
    {"add-request", CmdAddRequest},
    {"encode", CmdEncode},
    {"decode", CmdDecode},
    {"export-value", CmdExportValue},
    {"import-value", CmdImportValue},
    {"export-reg", CmdExportReg},
    {"import-reg", CmdImportReg},
    {"check", CmdCheck, 2},
    {"remove", CmdRemove},
    {"rename", CmdRename},
    {"move", CmdMove},
    {"relocate", CmdRelocate},
    {"repair", CmdRepair},
    {"backups", CmdBackups},
    {"restore", CmdRestore},
};

// The exit status of a failure: 1, or what the running command says.
int gFailureStatus = 1;

int Run(const Args& argv) {
    std::size_t i = 0;
    std::string registry;
    for (; i < argv.size(); ++i) {
        if (argv[i] == "--help" || argv[i] == "-h") {
            WriteStdout(Usage);
            return 0;
        }
        if (argv[i] == "--version") {
            WriteStdout("favorites " QUENDLE_VERSION "\n");
            return 0;
        }
        if (TakeOption(argv, i, "--registry", registry)) {
#ifdef _WIN32
            // Accepting it would write the real registry while the user expects a file.
            throw ToolError("--registry: on Windows the favorites are in the registry itself");
#endif
            if (registry.empty())
                throw ToolError("--registry needs a file name");
            SetRegistryFile(registry);
            continue;
        }
        break;
    }
    if (i >= argv.size())
        throw ToolError("missing command (see favorites --help)");
    const std::string& name = argv[i];
    const Args rest(argv.begin() + static_cast<std::ptrdiff_t>(i) + 1, argv.end());
    for (const std::string& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            WriteStdout(Usage);
            return 0;
        }
    }
    for (const TCommand& command : Commands) {
        if (command.Name == name) {
            gFailureStatus = command.FailureStatus;
            return command.Run(rest);
        }
    }
    throw ToolError("unknown command \"" + name + "\" (see favorites --help)");
}

} // namespace tool

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        return tool::Run(tool::Args(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::string message = e.what();
        // One line, whatever the message holds.
        for (char& c : message)
            if (c == '\n' || c == '\r')
                c = ' ';
        std::fprintf(stderr, "favorites: %s\n", message.c_str());
        return tool::gFailureStatus;
    }
}
