// Saving over a stored value that others change: two writers, merges, backups.
#include "Exception.h"
#include "FavConsts.h"
#include "FavRecovery.h"
#include "Registry.h"
#include "RegistryLock.h"
#include "FavTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace favtest;

#ifdef _WIN32
// The collection under the running test's own key of the real registry.
class TItems : public TFavoriteItems {
public:
    std::string GetSection() const override {
        return "\\" + testsupport::WinRegistryTest::TestKeyName();
    }
};
using SaveTestBase = testsupport::WinRegistryTest;
#else
using TItems = TFavoriteItems;
using SaveTestBase = ::testing::Test;
#endif

class SaveTest : public SaveTestBase {
protected:
    void SetUp() override {
        SaveTestBase::SetUp();
        dir = testsupport::FreshTestDir("store_save_");
#ifdef _WIN32
        SetBackupFolder((dir / "backups").string());
#else
        SetRegistryFile((dir / "HKEY_CURRENT_USER.reg").string());
#endif
    }
    void TearDown() override {
        SetBackupFolder("");
        SetRegistryFile("");
        fs::remove_all(dir);
        SaveTestBase::TearDown();
    }
    static std::string Section() { return TItems().GetSection(); }
    static std::string KeyName() { return TItems().RegistryKeyName(); }
    static std::vector<std::uint8_t> Stored() {
        const std::optional<TRegValue> v = TRegIniFile(Section()).ReadValue("Items");
        return v ? v->Data : std::vector<std::uint8_t>{};
    }
    static void Store(const std::vector<std::uint8_t>& bytes) {
        TRegIniFile(Section()).WriteBinaryData("Items", bytes.data(), bytes.size());
    }
    static void StoreRecords(const std::vector<std::string>& records, int lastID) {
        TFavoriteItems items;
        Fill(items, records, lastID);
        Store(WriteFavoriteStream(items));
    }
    // The backup folder made unusable: a plain file stands where it would go.
    void BlockBackups() const {
        std::ofstream(dir / "blocker") << "x";
        SetBackupFolder((dir / "blocker" / "backups").string());
    }

    fs::path dir;
};

const std::vector<std::string> Start = {
    R(0, 0, fitUnit, 1, "/p/a.pas", "a"),
    R(0, 1, fitFile, 2, "/p/b.txt", "b"),
    R(0, 2, fitGroup, 3, "", "G"),
    R(3, 0, fitUnit, 4, "/p/c.pas", "c"),
};

// Every change of both writers is in the collection, and it is well formed.
void ExpectEveryChange(TFavoriteItems& items, bool lateA, bool lateB) {
    std::map<std::string, std::string> byAlias; // alias -> record
    std::set<int> ids;
    std::set<std::pair<int, int>> places;
    for (const std::string& r : items.Items()) {
        byAlias[GetPart(r, 5, '|')] = r;
        EXPECT_TRUE(ids.insert(GetIntPart(r, 3, '|')).second) << "repeated id: " << r;
        EXPECT_TRUE(places.insert({GetIntPart(r, 0, '|'), GetIntPart(r, 1, '|')}).second)
            << "repeated position: " << r;
        EXPECT_LE(GetIntPart(r, 3, '|'), items.LastID());
    }
    ASSERT_TRUE(byAlias.count("renamed by A") && byAlias.count("b") && byAlias.count("fromA") &&
                byAlias.count("fromB") && byAlias.count("z.pas"));
    EXPECT_EQ(GetPart(byAlias["renamed by A"], 4, '|'), "/p/a.pas");
    EXPECT_EQ(GetPart(byAlias["b"], 4, '|'), "/q/b.txt"); // B's re-point
    EXPECT_FALSE(byAlias.count("c"));                      // B's delete
    EXPECT_EQ(GetIntPart(byAlias["z.pas"], 0, '|'), GetIntPart(byAlias["fromB"], 3, '|'));
    // A's reorder: b now stands before a.
    EXPECT_LT(GetIntPart(byAlias["b"], 1, '|'), GetIntPart(byAlias["renamed by A"], 1, '|'));
    EXPECT_EQ(byAlias.count("G by A"), lateA ? 1u : 0u);
    if (lateB) {
        ASSERT_TRUE(byAlias.count("late"));
        EXPECT_EQ(GetIntPart(byAlias["late"], 0, '|'), 3);
    }
}

TEST_F(SaveTest, TwoWritersInAnyOrderKeepEveryChange) {
    const Edit editA = Then(Then(Add(fitFile, 0, "/p/fromA.txt", "fromA"), Rename(1, "renamed by A")),
                            Exchange(1, 2));
    const Edit editB =
        Then(Then(Remove(4), Repoint(2, "/q/b.txt")), AddGroup(0, "fromB", {"/p/z.pas"}));
    const Edit lateA = Rename(3, "G by A");
    const Edit lateB = Add(fitUnit, 3, "/p/late.pas", "late");
    // l load, e edit, c edit on a copy assigned back (as the Edit dialog does), f a later edit,
    // s save; each followed by the writer, A or B.
    const char* scripts[] = {
        "lA lB eA eB sA sB", "lA lB eA eB sB sA", "lA eA sA lB eB sB",
        "lA lB cA eB sB sA", "lA lB eB sB eA sA fB sB", "lA lB eA sA eB sB fA sA fB sB",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        StoreRecords(Start, 4);
        TItems a, b;
        TItems* last = nullptr;
        bool didLateA = false, didLateB = false;
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            TItems& who = step[1] == 'A' ? a : b;
            switch (step[0]) {
            case 'l': who.LoadFromReg(); break;
            case 'e': (&who == &a ? editA : editB)(who); break;
            case 'c': {
                TFavoriteItems copy;
                copy.Assign(who);
                editA(copy);
                who.Assign(copy);
                break;
            }
            case 'f':
                (&who == &a ? lateA : lateB)(who);
                (&who == &a ? didLateA : didLateB) = true;
                break;
            case 's': who.SaveToReg(); last = &who; break;
            }
        }
        TItems stored;
        stored.LoadFromReg();
        ExpectEveryChange(stored, didLateA, didLateB);
        // The last writer holds what it stored.
        EXPECT_EQ(WriteFavoriteStream(*last), Stored());
    }
}

TEST_F(SaveTest, EverySaveThatChangesTheValueKeepsABackupFirst) {
    TItems items;
    items.LoadFromReg();
    items.AddItem(fitUnit, 0, "/p/a.pas", "a");
    TSaveReport r = items.SaveToReg(); // nothing was stored: nothing to keep
    EXPECT_TRUE(r.Changed);
    EXPECT_TRUE(r.BackupFiles.empty());
    EXPECT_TRUE(ListBackups().empty());

    const std::vector<std::uint8_t> first = Stored();
    r = items.SaveToReg();
    EXPECT_FALSE(r.Changed);
    EXPECT_TRUE(r.BackupFiles.empty());

    items.ChangeAlias(items.GetItem(0), "A");
    r = items.SaveToReg();
    EXPECT_FALSE(r.Merged);
    ASSERT_EQ(r.BackupFiles.size(), 1u);
    EXPECT_EQ(ReadBackup(r.BackupFiles[0], KeyName()).Data, first);
    EXPECT_EQ(Stored(), WriteFavoriteStream(items));
    const std::vector<TBackup> listed = ListBackups();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].File, r.BackupFiles[0]);
#ifndef _WIN32
    SetBackupFolder("");
    EXPECT_EQ(fs::path(BackupFolder()), dir / "backups"); // beside the registry file
#endif
}

TEST_F(SaveTest, ValueThatCannotBeReadAtSaveIsBackedUpAndNotMerged) {
    StoreRecords(Start, 4);
    TItems items;
    items.LoadFromReg();
    items.AddItem(fitFile, 0, "/p/n.txt", "n");
    const std::vector<std::uint8_t> garbage = testsupport::B("TPF0 damaged");
    Store(garbage);

    const TSaveReport r = items.SaveToReg();
    EXPECT_TRUE(r.StoredUnreadable);
    EXPECT_FALSE(r.Merged);
    EXPECT_EQ(Stored(), WriteFavoriteStream(items));
    ASSERT_EQ(r.BackupFiles.size(), 1u);
    EXPECT_EQ(ReadBackup(r.BackupFiles[0], KeyName()).Data, garbage);
}

TEST_F(SaveTest, FailedBackupNeverCostsTheChangesNorAnUnreadableValue) {
    StoreRecords(Start, 4);
    TItems a, b;
    a.LoadFromReg();
    b.LoadFromReg();
    Rename(2, "by B")(b);
    b.SaveToReg();
    Rename(1, "by A")(a);
    BlockBackups();

    const TSaveReport r = a.SaveToReg();
    EXPECT_TRUE(r.Merged);
    EXPECT_FALSE(r.BackupError.empty());
    TItems stored;
    stored.LoadFromReg();
    EXPECT_EQ(stored.Items().Lines(), Sorted({R(0, 0, fitUnit, 1, "/p/a.pas", "by A"),
                                              R(0, 1, fitFile, 2, "/p/b.txt", "by B"), Start[2],
                                              Start[3]}));

    // A value that cannot be read exists nowhere else: without a backup it stays.
    const std::vector<std::uint8_t> garbage = testsupport::B("garbage");
    Store(garbage);
    EXPECT_THROW(a.SaveToReg(), ERegistryException);
    EXPECT_THROW(ReplaceStoredValue(Section(), WriteFavoriteStream(a)), ERegistryException);
    EXPECT_EQ(Stored(), garbage);
}

TEST_F(SaveTest, LaterWritersChangeGivingWayToADeletionIsKeptToo) {
    StoreRecords(Start, 4);
    TItems a, b;
    a.LoadFromReg();
    b.LoadFromReg();
    Remove(2)(b);
    b.SaveToReg();
    const std::vector<std::uint8_t> beforeA = Stored();
    Then(Rename(2, "kept somewhere"), Rename(1, "A"))(a);
    const std::vector<std::uint8_t> own = WriteFavoriteStream(a);

    const TSaveReport r = a.SaveToReg();
    EXPECT_EQ(r.Conflicts, 1);
    ASSERT_EQ(r.BackupFiles.size(), 2u); // A's own collection, then the value it replaced
    EXPECT_EQ(ReadBackup(r.BackupFiles[0], KeyName()).Data, own);
    EXPECT_EQ(ReadBackup(r.BackupFiles[1], KeyName()).Data, beforeA);
    EXPECT_EQ(ListBackups().front().File, r.BackupFiles[1]); // restore's default
    ASSERT_EQ(r.Clashes.size(), 1u);
    EXPECT_EQ(r.Clashes[0].Kind, TMergeClash::TheirsDeleted);
    EXPECT_EQ(r.Clashes[0].Id, 2);
    EXPECT_EQ(r.OwnBackup, r.BackupFiles[0]);
    EXPECT_EQ(r.StoredBackup, r.BackupFiles[1]);
}

TEST_F(SaveTest, BackupsRotateKeepingTheNewest) {
    fs::create_directories(BackupFolder());
    std::ofstream(fs::path(BackupFolder()) / "mine.reg") << "not a backup";
    for (int i = 0; i < 25; ++i) {
        TRegValue v;
        v.Name = "Items";
        v.Kind = i == 24 ? TRegValueKind::String : TRegValueKind::Binary; // kept as it is
        v.Text = "text value";
        v.Data = {static_cast<std::uint8_t>(i)};
        WriteBackup(KeyName(), v);
    }
    const std::vector<TBackup> backups = ListBackups();
    ASSERT_EQ(backups.size(), BackupsKept);
    EXPECT_EQ(ReadBackup(backups[0].File, KeyName()).Text, "text value");
    for (std::size_t i = 1; i < backups.size(); ++i) {
        EXPECT_LT(backups[i].File, backups[i - 1].File); // names sort by time
        EXPECT_EQ(ReadBackup(backups[i].File, KeyName()).Data,
                  std::vector<std::uint8_t>{static_cast<std::uint8_t>(24 - i)});
    }
    EXPECT_TRUE(fs::exists(fs::path(BackupFolder()) / "mine.reg"));
    EXPECT_EQ(backups[0].Time.size(), std::string("2024-01-31 14:25:01.123 UTC").size());
    EXPECT_THROW(ReadBackup((fs::path(BackupFolder()) / "mine.reg").string(), KeyName()),
                 ERegistryException);
}

} // namespace

// The lock held elsewhere (here by another thread, which takes it as another process would):
// every kind of save gives up after the timeout, names the lock, and writes nothing.
TEST_F(SaveTest, ASaveThatCannotGetTheLockWritesNothingAndNamesTheLock) {
    StoreRecords(Start, 4);
    const std::vector<std::uint8_t> before = Stored();
    TItems items;
    items.LoadFromReg();
    Rename(1, "not saved")(items);

    std::promise<void> locked, done;
    std::thread holder([&] {
        const TRegistryLock lock(Section());
        locked.set_value();
        done.get_future().wait();
    });
    locked.get_future().wait();
    SetRegistryLockTimeout(std::chrono::milliseconds(100));
    const std::vector<std::uint8_t> other = WriteFavoriteStream(items);
    const std::vector<std::function<void()>> saves = {
        [&] { items.SaveToReg(); },
        [&] { ReplaceStoredValue(Section(), other); },
        [&] { Store(other); },
    };
    for (std::size_t i = 0; i < saves.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            saves[i]();
            ADD_FAILURE() << "saved while the lock was held";
        } catch (const ERegistryException& e) {
            EXPECT_NE(e.Message().find(TRegistryLock::LockName(Section())), std::string::npos)
                << e.Message();
            EXPECT_NE(e.Message().find("100 milliseconds"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(Stored(), before);
    }
    EXPECT_TRUE(ListBackups().empty());
    done.set_value();
    holder.join();

    // Released, the same save goes through.
    items.SaveToReg();
    SetRegistryLockTimeout(std::chrono::milliseconds(0));
    TItems stored;
    stored.LoadFromReg();
    ASSERT_NE(stored.FindItem(1), nullptr);
    EXPECT_EQ(GetPart(*stored.FindItem(1), 5, '|'), "not saved");
}

#ifndef _WIN32
// A process that dies holding the lock takes it with it; the lock file it leaves is made with
// the registry file's permissions and serves the next save.
TEST_F(SaveTest, ALockLeftByAKilledProcessBlocksNobody) {
    StoreRecords(Start, 4);
    const fs::path registry = RegistryFile();
    fs::permissions(registry, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path lockFile = TRegistryLock::LockName(Section());
    fs::remove(lockFile);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const TRegistryLock lock(Section());
        const char held = 'x';
        [[maybe_unused]] const auto n = ::write(pipeFds[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char held = 0;
    ASSERT_EQ(::read(pipeFds[0], &held, 1), 1);
    ::close(pipeFds[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(fs::exists(lockFile));
    EXPECT_EQ(fs::status(lockFile).permissions() & fs::perms::all, fs::status(registry).permissions() & fs::perms::all);

    SetRegistryLockTimeout(std::chrono::milliseconds(2000)); // fails fast if it were stuck
    TItems items;
    items.LoadFromReg();
    Rename(1, "after the crash")(items);
    EXPECT_NO_THROW(items.SaveToReg());
    SetRegistryLockTimeout(std::chrono::milliseconds(0));
    TItems stored;
    stored.LoadFromReg();
    ASSERT_NE(stored.FindItem(1), nullptr);
    EXPECT_EQ(GetPart(*stored.FindItem(1), 5, '|'), "after the crash");
}
#endif
