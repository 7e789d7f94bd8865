// The Edit Favorites form: a tree of groups beside a grid of the selected group's items and
// their command buttons, working on a private copy of the favorites.
#pragma once

#include "AddToFav.h"
#include "Canvas.h"
#include "Forms.h"
#include "Modal.h"
#include "StringGrid.h"

#include <memory>
#include <string>
#include <vector>

class QGroupBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFavoriteItems;

class TEditFavoritesWnd : public ui::TForm {
public:
    static constexpr int FormHelpContext = 130;
    static constexpr const char* FormHelpFile = "Morvith.hlp";
    // Characters the alias column does not take: each would break the record.
    static constexpr const char* RefusedAliasChars = "|\r\n";

    explicit TEditFavoritesWnd(QWidget* parent = nullptr);
    // The host's current project and file, which Add... offers.
    TEditFavoritesWnd(const THostFiles& host, QWidget* parent);
    ~TEditFavoritesWnd() override;

    QGroupBox* gbGroups;
    QTreeWidget* tvGroups;
    QGroupBox* gbItems;
    ui::TStringGrid* grdItems;
    QPushButton* btnOpen;
    QPushButton* btnAdd;
    QPushButton* btnEdit;
    QPushButton* btnDelete;
    QPushButton* btnUp;
    QPushButton* btnDown;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnHelp;
    QPushButton* btnAbout;
    ui::TImageList ilItems;
    ui::OpenDialogState dlgOpenFile;

    // The working copy; everything the dialog changes goes here.
    TFavoriteItems& EditItems() { return *FEditItems; }

    void FormCreate();
    void FormShow() override;
    void FormDestroy();
    void tvGroupsChange(QTreeWidgetItem* node);
    void grdItemsSelectCell(int col, int row, bool& canSelect);
    void grdItemsMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void grdItemsDrawCell(ui::TCanvas& canvas, int col, int row, const QRect& rect,
                          ui::TGridDrawState state);
    void grdItemsSetEditText(int col, int row, const QString& text);
    // What a screen reader says of a cell: the item column's kind and path, and "missing" as
    // its description when the target is gone; the alias column its alias.
    QString grdItemsAccessibleText(int col, int row, Qt::ItemDataRole role) const;
    void btnOpenClick(QObject* sender);
    void grdItemsDblClick(QObject* sender);
    void btnAddClick(QObject* sender);
    void btnEditClick(QObject* sender);
    void btnDeleteClick(QObject* sender);
    void btnUpDownClick(QObject* sender);
    void btnHelpClick(QObject* sender);
    void btnAboutClick(QObject* sender);

    // Writes the alias column into the working copy.
    void FlushGrid();
    // What Add... does with the add request of the Add dialog: the new favorite or group
    // under the selected node, its row current.
    void AddRequest(TStringList& request);

private:
    void FillTreeView();
    void AddTreeNode(QTreeWidgetItem* parent, const std::string& record);
    void AddTreeNode(QTreeWidgetItem* parent, const std::string& record,
                     std::vector<int>& ancestors);
    void FillGrid(QTreeWidgetItem* node);
    int RowItemType(int row) const;
    void AdjustItemsButtons(int row);
    // The record in column 0 of a row, as the working copy holds it.
    std::string RowRecord(int row) const;
    // A command starts with the alias editor closed and its text kept in the grid.
    void EndEdit();
    // Positions shared by rows of the grid (an addition among children out of type order
    // gives them) are made distinct in the order the grid shows, so that an exchange of two
    // rows is one of the copy too.
    void MakePositionsDistinct();
    // Builds the tree again from the working copy, keeping the selected node.
    void RebuildTree();
    // A path chosen for Edit... is taken only without a "|".
    bool PathFits(const std::string& path);

    THostFiles FHostFiles;
    std::unique_ptr<TFavoriteItems> FEditItems;
    QTreeWidgetItem* FGroupNode = nullptr;
    bool FRebuilding = false;
};
