// Common ground of the add-in tests: a recording host bound as the package's host, the
// scripted seam, a private registry file, and the unit Favorite initialised.
#pragma once

#include "Favorite.h"
#include "RecordingHost.h"
#include "ScriptedModal.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class AddinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stores a collection as the registry value the expert loads.
    void StoreFavorites(const std::vector<std::string>& records, int lastId);
    // The registry value's bytes as they are now (empty when there is none).
    std::vector<std::uint8_t> StoredBytes() const;
    // Creates the expert as Register does.
    void CreateExpert() { expert = std::make_unique<TFavoriteExpert>(); }
    // The Favorites menu's entries, "name\tcaption" per line, nested entries indented.
    std::string FavoritesMenu() const;
    // An existing file (or folder) made inside the test's private folder.
    std::string MakeFile(const std::string& relative) const;
    std::string MakeFolder(const std::string& relative) const;
    std::string PathOf(const std::string& relative) const;

    QTemporaryDir dir;
    RecordingHost host;
    ui::ScriptedModalInteraction modal;
    std::unique_ptr<TFavoriteExpert> expert;
    std::vector<TIExpert*> registered;
};

// An item record: parent|position|type|id|path|alias.
std::string Record(int parent, int position, int type, int id, const std::string& path,
                   const std::string& alias);
