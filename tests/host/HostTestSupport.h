// Favorites in a private registry file, for the tests that load the real packages.
#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class PrivateRegistryTest : public ::testing::Test {
protected:
    // Points this process, and packages loaded into it or started from it, at the file.
    void SetUp() override;
    void TearDown() override;

    // Stores the sample favorites over examples/SampleProject.
    void StoreSampleFavorites();
    // Stores raw bytes as the favorites value.
    void StoreBytes(const std::vector<std::uint8_t>& bytes);
    // The registry file's content.
    QByteArray RegistryFileContent() const;
    // The records stored now, in stored order.
    std::vector<std::string> StoredRecords() const;

    QTemporaryDir dir;
    QString registryFile;
};

// The sample favorites' records, sorted.
std::vector<std::string> SampleRecords();
// The Favorites menu they give, as --dump-menu prints it.
extern const char* const SampleFavoritesMenu;
