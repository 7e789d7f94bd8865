#include "EditFav.h"

#include "EditFavoritesWnd.h"
#include "FavConsts.h"
#include "FavUtils.h"
#include "FormFont.h"
#include "Forms.h"
#include "ItemImages.h"
#include "Paths.h"
#include "TextBytes.h"
#include "TreeNodes.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr char Sep = '|';
constexpr int AliasColumn = 1;
// The blue of the current row's path.
const QColor CurrentRowText(0, 0, 255);

QString Text(std::string_view bytes) {
    return ui::QStringFromBytes(bytes);
}

// Every button of the form is 75 x 23.
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int left, int top) {
    return ui::MakeControl<QPushButton>(parent, name, {left, top, 75, 23},
                                        QString::fromLatin1(caption));
}

} // namespace

TEditFavoritesWnd::TEditFavoritesWnd(QWidget* parent) : ui::TForm(parent), ilItems(16, 16) {
    setObjectName(QStringLiteral("EditFavoritesWnd"));
    setWindowTitle(QStringLiteral("Edit Favorites"));
    setFont(ui::FormFont());
    setFixedSize(547, 286);

    // Made in tab order.
    using ui::MakeControl;
    gbGroups =
        MakeControl<QGroupBox>(this, "gbGroups", {8, 8, 145, 236}, QStringLiteral("&Groups"));
    tvGroups = MakeControl<QTreeWidget>(gbGroups, "tvGroups", {8, 16, 129, 212});
    tvGroups->setHeaderHidden(true);
    tvGroups->setColumnCount(1);
    tvGroups->setIndentation(19);
    tvGroups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvGroups->setSelectionMode(QAbstractItemView::SingleSelection);
    // The stored design's one node.
    ui::AddChildNode(*tvGroups, nullptr, QStringLiteral("All Files"), 0);

    gbItems = MakeControl<QGroupBox>(this, "gbItems", {160, 8, 379, 236}, QStringLiteral("&Items"));
    grdItems = new ui::TStringGrid(gbItems, 2, 2);
    grdItems->setObjectName(QStringLiteral("grdItems"));
    grdItems->setGeometry(8, 16, 281, 212);
    grdItems->SetColWidth(0, 164);
    grdItems->SetColWidth(1, 94);
    grdItems->SetDefaultRowHeight(18);
    grdItems->SetEditing(true);
    grdItems->SetRefusedEditChars(QString::fromLatin1(RefusedAliasChars));
    grdItems->SetDefaultDrawing(false);
    grdItems->setEnabled(false);

    btnOpen = MakeButton(gbItems, "btnOpen", "O&pen", 296, 16);
    btnAdd = MakeButton(gbItems, "btnAdd", "&Add...", 296, 55);
    btnEdit = MakeButton(gbItems, "btnEdit", "&Edit...", 296, 86);
    btnDelete = MakeButton(gbItems, "btnDelete", "&Delete", 296, 117);
    btnUp = MakeButton(gbItems, "btnUp", "&Up", 296, 174);
    btnUp->setProperty("tag", -1);
    btnDown = MakeButton(gbItems, "btnDown", "Dow&n", 296, 205);
    btnDown->setProperty("tag", 1);

    btnOk = MakeButton(this, "btnOk", "&OK", 215, 253);
    btnOk->setDefault(true);
    btnCancel = MakeButton(this, "btnCancel", "&Cancel", 298, 253);
    btnHelp = MakeButton(this, "btnHelp", "&Help", 381, 253);
    btnAbout = MakeButton(this, "btnAbout", "A&bout", 464, 253);

    const QWidget* order[] = {tvGroups, grdItems, btnOpen, btnAdd,    btnEdit, btnDelete,
                              btnUp,    btnDown,  btnOk,   btnCancel, btnHelp, btnAbout};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));

    AddItemImages(ilItems);
    dlgOpenFile.title = QStringLiteral("Open");

    connect(tvGroups, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { tvGroupsChange(current); });
    grdItems->OnDrawCell = [this](ui::TCanvas& canvas, int col, int row, const QRect& rect,
                                  ui::TGridDrawState state) {
        grdItemsDrawCell(canvas, col, row, rect, state);
    };
    grdItems->OnSelectCell = [this](int col, int row, bool& canSelect) {
        grdItemsSelectCell(col, row, canSelect);
    };
    grdItems->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                   int y) { grdItemsMouseDown(button, shift, x, y); };
    connect(btnOk, &QPushButton::clicked, this, [this] { done(ui::mrOk); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(ui::mrCancel); });

    FormCreate();
}

TEditFavoritesWnd::~TEditFavoritesWnd() {
    // The tree reports its teardown as selection changes; nothing may answer them now.
    disconnect(tvGroups, nullptr, this, nullptr);
    grdItems->OnDrawCell = nullptr;
    grdItems->OnSelectCell = nullptr;
    grdItems->OnMouseDown = nullptr;
    grdItems->OnSetEditText = nullptr;
    grdItems->OnDblClick = nullptr;
    FormDestroy();
}

void TEditFavoritesWnd::FormCreate() {
    FEditItems = std::make_unique<TFavoriteItems>();
    grdItems->SetCell(0, 0, Text(sGridItems));
    grdItems->SetCell(1, 0, Text(sGridAlias));
    grdItems->SetCol(AliasColumn);
}

void TEditFavoritesWnd::FormShow() {
    FillTreeView();
    if (grdItems->CanFocus())
        grdItems->setFocus();
}

void TEditFavoritesWnd::FormDestroy() {
    FGroupNode = nullptr;
    FEditItems.reset();
}

std::string TEditFavoritesWnd::RowRecord(int row) const {
    return ui::BytesFromQString(grdItems->Cell(0, row));
}

void TEditFavoritesWnd::FillTreeView() {
    AddTreeNode(nullptr, std::string(RootRecord));
    QTreeWidgetItem* favorites = ui::NodeAtAbsoluteIndex(*tvGroups, 1);
    favorites->setExpanded(true);
    tvGroups->setCurrentItem(favorites);
    FillGrid(tvGroups->currentItem());
}

void TEditFavoritesWnd::AddTreeNode(QTreeWidgetItem* parent, const std::string& record) {
    std::vector<int> ancestors;
    AddTreeNode(parent, record, ancestors);
}

void TEditFavoritesWnd::AddTreeNode(QTreeWidgetItem* parent, const std::string& record,
                                    std::vector<int>& ancestors) {
    const int id = GetIntPart(record, 3, Sep);
    QTreeWidgetItem* node =
        ui::AddChildNode(*tvGroups, parent, ui::ReadableText(Text(ItemCaption(record))), id);
    // A group that holds one of its own ancestors (possible only in a damaged collection)
    // is shown once, not followed for ever.
    ancestors.push_back(id);
    const int count = FEditItems->GetSubGroups(id).Count();
    for (int i = 0; i < count; ++i) {
        // Asked again for every entry: the recursive call refills the shared list.
        const std::string group = FEditItems->GetSubGroups(id).Get(i);
        if (std::find(ancestors.begin(), ancestors.end(), GetIntPart(group, 3, Sep)) ==
            ancestors.end())
            AddTreeNode(node, group, ancestors);
    }
    ancestors.pop_back();
}

void TEditFavoritesWnd::tvGroupsChange(QTreeWidgetItem* node) {
    if (FRebuilding || node == nullptr)
        return;
    FlushGrid();
    FillGrid(node);
}

void TEditFavoritesWnd::FillGrid(QTreeWidgetItem* node) {
    if (node == nullptr)
        return;
    const TStringList& items = ui::AbsoluteIndex(node) == 0
                                   ? FEditItems->GetOnlyItems()
                                   : FEditItems->GetSubItems(ui::NodeData(*node));
    if (items.Empty()) {
        grdItems->SetRowCount(2);
        grdItems->SetCell(0, 1, QString());
        grdItems->SetCell(1, 1, QString());
        grdItems->setEnabled(false);
    } else {
        grdItems->setEnabled(true);
        grdItems->SetRowCount(items.Count() + 1);
        for (int i = 0; i < items.Count(); ++i) {
            const std::string& record = items[i];
            grdItems->SetCell(0, i + 1, Text(record));
            grdItems->SetCell(1, i + 1, Text(RecordAlias(record)));
        }
        grdItems->SetRow(1);
        grdItems->SetCol(AliasColumn);
    }
    AdjustItemsButtons(1);
}

void TEditFavoritesWnd::FlushGrid() {
    if (!grdItems->Enabled())
        return;
    for (int row = 1; row < grdItems->RowCount(); ++row)
        FEditItems->ChangeAlias(RowRecord(row),
                                ui::BytesFromQString(grdItems->Cell(AliasColumn, row)));
}

int TEditFavoritesWnd::RowItemType(int row) const {
    if (!grdItems->Enabled() || row < 1 || row >= grdItems->RowCount())
        return -1;
    return GetIntPart(RowRecord(row), 2, Sep);
}

void TEditFavoritesWnd::AdjustItemsButtons(int row) {
    const bool hasItems = grdItems->Enabled();
    const int node = ui::AbsoluteIndex(tvGroups->currentItem());
    btnOpen->setEnabled(hasItems);
    btnAdd->setEnabled(node > 0);
    btnDelete->setEnabled(hasItems);
    btnEdit->setEnabled(hasItems && RowItemType(row) != fitGroup);
    const int type = RowItemType(row);
    btnUp->setEnabled(hasItems && node > 0 && SameKindClass(RowItemType(row - 1), type));
    btnDown->setEnabled(hasItems && node > 0 && SameKindClass(RowItemType(row + 1), type));
}

void TEditFavoritesWnd::grdItemsSelectCell(int col, int row, bool& canSelect) {
    canSelect = col == AliasColumn;
    // The marker and the blue path follow the current row.
    grdItems->InvalidateCell(0, grdItems->Row());
    grdItems->InvalidateCell(0, row);
    AdjustItemsButtons(row);
}

void TEditFavoritesWnd::grdItemsMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    int col = 0;
    int row = 0;
    if (grdItems->MouseToCell(x, y, col, row) && col == 0 && row > 0)
        grdItems->SetRow(row);
}

void TEditFavoritesWnd::grdItemsDrawCell(ui::TCanvas& canvas, int col, int row, const QRect& rect,
                                         ui::TGridDrawState state) {
    using ui::TSysColor;
    if (row == 0) {
        canvas.SetBrushColor(canvas.Color(TSysColor::BtnFace));
        const QRect inner = canvas.DrawRaisedInnerEdge(rect).adjusted(2, 0, -2, 0);
        canvas.SetFontColor(canvas.Color(TSysColor::BtnText));
        canvas.DrawText(inner, grdItems->Cell(col, row), ui::TEllipsis::None);
        return;
    }
    if (col == AliasColumn) {
        canvas.SetBrushColor(
            canvas.Color(state.focused ? TSysColor::Highlight : TSysColor::Window));
        canvas.SetFontColor(
            canvas.Color(state.focused ? TSysColor::HighlightText : TSysColor::WindowText));
        canvas.FillRect(rect);
        canvas.DrawText(rect.adjusted(3, 0, -2, 0), ui::ReadableText(grdItems->Cell(col, row)),
                        ui::TEllipsis::End);
        return;
    }

    const std::string record = RowRecord(row);
    const int type = GetIntPart(record, 2, Sep);
    const std::string path = GetPart(record, 4, Sep);
    // Tested at every paint: a deleted file shows its cross on the next repaint.
    const bool exists = type == fitFolder  ? FolderExists(path)
                        : type == fitGroup ? true
                                           : FileExists(path);
    canvas.SetBrushColor(canvas.Color(TSysColor::Window));
    canvas.FillRect(rect);
    if (record.empty())
        return;
    const int y = rect.top() + 1;
    const bool current = row == grdItems->Row();
    if (current)
        ilItems.Draw(canvas, rect.left() - 3, y, iiMarker);
    ilItems.Draw(canvas, rect.left() + 12, y, type + 1, exists);
    if (!exists)
        ilItems.DrawOverlay(canvas, rect.left() + 12, y, iiMissing, 0);
    canvas.SetFontColor(current  ? CurrentRowText
                        : exists ? canvas.Color(TSysColor::WindowText)
                                 : canvas.Color(TSysColor::GrayText));
    canvas.SetBrushColor(canvas.Color(TSysColor::Window));
    canvas.DrawText(rect.adjusted(32, 0, -2, 0), ui::ReadableText(Text(path)), ui::TEllipsis::Path);
    canvas.SetFontColor(Qt::black);
}

bool EditFavorites(TFavoriteItems& items) {
    const ui::TFormInstance<TEditFavoritesWnd> dialog;
    dialog->EditItems().Assign(items);
    if (ui::Modal().ShowModal(*dialog) != ui::mrOk)
        return false;
    dialog->FlushGrid();
    items.Assign(dialog->EditItems());
    return true;
}
