// Runs the GoogleTest cases inside a QApplication, so widgets can be built and shown.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    // Test discovery only lists names; it runs without ctest's environment, maybe headless.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    if (!listing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every run gets a private runtime folder (mode 0700, removed afterwards), whatever the
    // desktop session has; ctest cannot pass it through test discovery.
    QTemporaryDir runtimeDir;
    if (!listing && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    // Only the declared fonts, whatever else the machine has; programs the tests start
    // inherit the setting.
    if (!listing)
        qputenv("FONTCONFIG_FILE", QUENDLE_TEST_FONTCONFIG);
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listing)
        app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
