#include "RegistryWatcher.h"

#include "Registry.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int Patience = 20000; // a bound for the harness on a loaded machine

class RegistryWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // The folder does not exist yet: the watcher must see the file appear.
        file = dir.filePath(QStringLiteral("a/b/HKEY_CURRENT_USER.reg")).toStdString();
        SetRegistryFile(file);
    }
    void TearDown() override { SetRegistryFile(""); }

    static void Write(std::uint8_t byte) {
        TRegIniFile("\\Favorites").WriteBinaryData("Items", &byte, 1);
    }

    QTemporaryDir dir;
    std::string file;
};

TEST_F(RegistryWatcherTest, SeesTheFileAppearAndEveryReplaceAfter) {
    ui::RegistryWatcher watcher("\\Favorites");
    watcher.SetDelay(std::chrono::milliseconds(20));
    int calls = 0;
    watcher.SetOnChanged([&] { ++calls; });
    // Each save replaces the file by a new one; the watch must follow every new file.
    for (std::uint8_t i = 1; i <= 4; ++i) {
        SCOPED_TRACE(int(i));
        const int before = calls;
        Write(i);
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls > before; }, Patience));
        QTest::qWait(50); // let the rest of this save's notifications pass
    }
    EXPECT_EQ(watcher.Deliveries(), calls);
}

TEST_F(RegistryWatcherTest, NotificationsWithinTheDelayAreDeliveredOnce) {
    ui::RegistryWatcher watcher("\\Favorites");
    watcher.SetDelay(std::chrono::milliseconds(100));
    for (int i = 0; i < 10; ++i)
        watcher.Notify();
    EXPECT_EQ(watcher.Deliveries(), 0) << "delivered before the delay";
    EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.Deliveries() == 1; }, Patience));
    QTest::qWait(150);
    EXPECT_EQ(watcher.Deliveries(), 1);
}

} // namespace
