// Common ground of the Edit dialog's tests: records, a shown dialog over a working copy, and
// readable dumps of its tree, grid and buttons.
#pragma once

#include "EditFavoritesWnd.h"
#include "FavUtils.h"
#include "Records.h"
#include "ScriptedModal.h"

#include <QTemporaryDir>

class QLineEdit;

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using testsupport::Record;

// Puts records and LastID into a collection.
void Fill(TFavoriteItems& items, const std::vector<std::string>& records, int lastId = 0);

class EditFavTest : public ::testing::Test {
protected:
    static constexpr int AnimatedClickMs = 150;

    void SetUp() override;
    void TearDown() override;

    // Shows a dialog over a copy of records, as EditFavorites does, without a modal loop.
    void Open(const std::vector<std::string>& records, int lastId);
    // An existing file or folder in the test's folder.
    std::string MakeFile(const std::string& name) const;
    std::string MakeFolder(const std::string& name) const;

    // The tree, one node a line, two spaces a level; "*" marks the selected node and "+" an
    // expanded one with children.
    std::string Tree() const;
    // The grid's alias column, rows from 1 joined by ",".
    std::string Aliases() const;
    // The six item buttons, by access key when enabled: "PAEDUN"; "-" when disabled.
    std::string Buttons() const;
    // Acts on a dialog shown through the seam from now on, its window active as after a
    // modal loop's start.
    void Take(QDialog& dialog);
    // Alt+key, and the click it leads to.
    void AccessKey(Qt::Key key) const;
    void SelectNode(const QString& text) const;
    // F2 on the current alias, the text typed over it, Enter.
    void TypeAlias(const QString& text) const;
    // The open alias editor, or null.
    QLineEdit* Editor() const;
    // The working copy's records, sorted.
    std::vector<std::string> Copy() const;
    // A script for the Add dialog: an item (a file or folder path) or a group of a folder's
    // files, with alias, and OK.
    static ui::ScriptedModalInteraction::DialogScript AddScript(bool group, const std::string& path,
                                                                const std::string& alias);

    QTemporaryDir dir;
    ui::ScriptedModalInteraction modal;
    std::unique_ptr<TEditFavoritesWnd> owned; // the dialog Open shows
    TEditFavoritesWnd* wnd = nullptr;         // the dialog the helpers act on
};
