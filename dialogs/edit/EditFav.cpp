#include "EditFav.h"

#include "About.h"
#include "FolderChooser.h"

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
#include <charconv>
#include <optional>

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

TEditFavoritesWnd::TEditFavoritesWnd(QWidget* parent) : TEditFavoritesWnd(THostFiles{}, parent) {}

TEditFavoritesWnd::TEditFavoritesWnd(const THostFiles& host, QWidget* parent)
    : ui::TForm(parent), ilItems(16, 16), FHostFiles(host) {
    setObjectName(QStringLiteral("EditFavoritesWnd"));
    setWindowTitle(QStringLiteral("Edit Favorites"));
    setFont(ui::FormFont());
    setFixedSize(547, 286);
    SetHelp(QString::fromLatin1(FormHelpFile), FormHelpContext);

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
    ui::NameAfterCaption(*tvGroups, gbGroups->title());
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
    ui::NameAfterCaption(*grdItems, gbItems->title());

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

    QWidget* const order[] = {tvGroups, grdItems, btnOpen, btnAdd,    btnEdit, btnDelete,
                              btnUp,    btnDown,  btnOk,   btnCancel, btnHelp, btnAbout};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    AddItemImages(ilItems);
    dlgOpenFile.title = QStringLiteral("Open");
    dlgOpenFile.filter = Text(sOpenDialogFilter);
    dlgOpenFile.filterIndex = 1;
    dlgOpenFile.options.hideReadOnly = true;
    dlgOpenFile.options.enableSizing = true;

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
    grdItems->OnSetEditText = [this](int col, int row, const QString& text) {
        grdItemsSetEditText(col, row, text);
    };
    grdItems->OnDblClick = [this] { grdItemsDblClick(grdItems); };
    grdItems->OnAccessibleText = [this](int col, int row, Qt::ItemDataRole role) {
        return grdItemsAccessibleText(col, row, role);
    };
    const std::pair<QPushButton*, void (TEditFavoritesWnd::*)(QObject*)> commands[] = {
        {btnOpen, &TEditFavoritesWnd::btnOpenClick},
        {btnAdd, &TEditFavoritesWnd::btnAddClick},
        {btnEdit, &TEditFavoritesWnd::btnEditClick},
        {btnDelete, &TEditFavoritesWnd::btnDeleteClick},
        {btnUp, &TEditFavoritesWnd::btnUpDownClick},
        {btnDown, &TEditFavoritesWnd::btnUpDownClick},
        {btnHelp, &TEditFavoritesWnd::btnHelpClick},
        {btnAbout, &TEditFavoritesWnd::btnAboutClick}};
    for (const auto& [button, handler] : commands)
        connect(button, &QPushButton::clicked, this,
                [this, button, handler] { (this->*handler)(button); });
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
    grdItems->OnAccessibleText = nullptr;
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
    // A copy of the group records only: the recursion below asks for other children.
    std::vector<std::string> groups;
    for (const std::string& child : FEditItems->SubItemsView(id))
        if (GetIntPart(child, 2, Sep) == fitGroup)
            groups.push_back(child);
    for (const std::string& group : groups)
        if (std::find(ancestors.begin(), ancestors.end(), GetIntPart(group, 3, Sep)) ==
            ancestors.end())
            AddTreeNode(node, group, ancestors);
    ancestors.pop_back();
}

void TEditFavoritesWnd::tvGroupsChange(QTreeWidgetItem* node) {
    if (FRebuilding || node == nullptr)
        return;
    EndEdit();
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
    // Writing back an alias the row still shows would change nothing; the index is made only
    // once a typed one is found, so an untouched grid costs one comparison per row.
    std::optional<TItemIndex> index;
    TStringList& records = FEditItems->Items();
    for (int row = 1; row < grdItems->RowCount(); ++row) {
        // Compared as shown: equal texts come from equal bytes, so only a typed alias differs.
        const QString shown = grdItems->Cell(0, row);
        const QString typed = grdItems->Cell(AliasColumn, row);
        if (QStringView(shown).sliced(shown.lastIndexOf(QLatin1Char(Sep)) + 1) == typed)
            continue;
        const std::string record = ui::BytesFromQString(shown);
        std::string alias = ui::BytesFromQString(typed);
        if (!index)
            index.emplace(records);
        // As ChangeAlias: the first equal record takes the row's fields and the typed alias.
        const int at = index->First(record);
        const std::size_t bar = record.rfind(Sep);
        std::string changed =
            (bar == std::string::npos ? std::string() : record.substr(0, bar + 1)) + alias;
        if (at >= 0)
            index->Replace(at, changed);
        records.Put(at, std::move(changed));
    }
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

    const TItemShown shown = ItemShown(RowRecord(row));
    canvas.SetBrushColor(canvas.Color(TSysColor::Window));
    canvas.FillRect(rect);
    if (shown.blank)
        return;
    const bool exists = ItemExists(shown);
    const int y = rect.top() + 1;
    const bool current = row == grdItems->Row();
    if (current)
        ilItems.Draw(canvas, rect.left() - 3, y, iiMarker);
    ilItems.Draw(canvas, rect.left() + 12, y, shown.image, exists);
    if (!exists)
        ilItems.DrawOverlay(canvas, rect.left() + 12, y, iiMissing, 0);
    canvas.SetFontColor(current  ? CurrentRowText
                        : exists ? canvas.Color(TSysColor::WindowText)
                                 : canvas.Color(TSysColor::GrayText));
    canvas.SetBrushColor(canvas.Color(TSysColor::Window));
    canvas.DrawText(rect.adjusted(32, 0, -2, 0), ui::ReadableText(Text(shown.path)),
                    ui::TEllipsis::Path);
    canvas.SetFontColor(Qt::black);
}

QString TEditFavoritesWnd::grdItemsAccessibleText(int col, int row, Qt::ItemDataRole role) const {
    const bool description = role == Qt::AccessibleDescriptionRole;
    if (col == AliasColumn)
        return description ? QString() : ui::ReadableText(grdItems->Cell(col, row));
    const TItemShown shown = ItemShown(RowRecord(row));
    return description ? ItemAccessibleDescription(shown) : ItemAccessibleText(shown);
}

void TEditFavoritesWnd::EndEdit() {
    grdItems->SetEditorMode(false);
}

void TEditFavoritesWnd::grdItemsSetEditText(int, int row, const QString& text) {
    const std::string record = RowRecord(row);
    if (GetIntPart(record, 2, Sep) != fitGroup)
        return;
    const int id = GetIntPart(record, 3, Sep);
    if (FGroupNode == nullptr || ui::NodeData(*FGroupNode) != id) {
        QTreeWidgetItem* found = ui::FindNodeByData(*tvGroups, id);
        if (found == nullptr)
            return;
        FGroupNode = found;
    }
    FGroupNode->setText(0, ui::ReadableText(text));
}

void TEditFavoritesWnd::btnOpenClick(QObject*) {
    EndEdit();
    const int row = grdItems->Row();
    if (RowItemType(row) != fitGroup)
        return;
    QTreeWidgetItem* node = ui::FindNodeByData(*tvGroups, GetIntPart(RowRecord(row), 3, Sep));
    if (node == nullptr)
        return;
    node->setExpanded(true);
    tvGroups->setCurrentItem(node);
    if (!grdItems->CanFocus())
        btnAdd->setFocus();
}

void TEditFavoritesWnd::grdItemsDblClick(QObject* sender) {
    if (btnOpen->isEnabled())
        btnOpenClick(sender);
}

void TEditFavoritesWnd::btnAddClick(QObject*) {
    EndEdit();
    if (const std::unique_ptr<TStringList> request = AddToFavorites(FHostFiles))
        AddRequest(*request);
}

void TEditFavoritesWnd::AddRequest(TStringList& request) {
    // The aliases typed here survive the refill below.
    FlushGrid();
    QTreeWidgetItem* node = tvGroups->currentItem();
    int parent = ui::NodeData(*node);
    const std::string& line = request.Get(0);
    int kind = -1;
    if (std::from_chars(line.data(), line.data() + line.size(), kind).ec != std::errc())
        kind = -1;
    const std::string name = request.Get(1);
    const int position = FEditItems->AddItems(parent, &request);
    FillGrid(node);
    grdItems->SetRow(position + 1);
    // A new group is its parent's last child, so its node goes last as well.
    if (kind == fitGroup)
        ui::AddChildNode(*tvGroups, node, ui::ReadableText(Text(name)), parent);
}

bool TEditFavoritesWnd::PathFits(const std::string& path) {
    if (path.find(Sep) == std::string::npos)
        return true;
    ui::ShowErrorBox(Text(sErrorSeparator), 0, this);
    return false;
}

void TEditFavoritesWnd::btnEditClick(QObject*) {
    EndEdit();
    const int row = grdItems->Row();
    const int type = RowItemType(row);
    std::string record = RowRecord(row);
    std::string path = GetPart(record, 4, Sep);
    if (type == fitFolder) {
        if (!BrowseForFolder(path, std::string(sEditFolder)))
            return;
    } else if (type != fitGroup) {
        // Any other type code is a file's, also one this version does not know.
        dlgOpenFile.fileName = Text(path);
        if (!ui::Modal().OpenFile(this, dlgOpenFile))
            return;
        path = ui::BytesFromQString(dlgOpenFile.fileName);
    } else {
        return;
    }
    if (!PathFits(path))
        return;
    record = FEditItems->ChangeFileName(record, path);
    grdItems->SetCell(0, row, Text(record));
}

void TEditFavoritesWnd::btnDeleteClick(QObject*) {
    EndEdit();
    int row = grdItems->Row();
    if (!grdItems->Enabled() || row < 1 || row >= grdItems->RowCount())
        return;
    const std::string record = RowRecord(row);
    if (FEditItems->HasSubItems(record)) {
        ui::ShowErrorBox(Text(sHasSubItems), 0, this);
        return;
    }
    // No confirmation is asked.
    if (GetIntPart(record, 2, Sep) == fitGroup) {
        QTreeWidgetItem* node = ui::FindNodeByData(*tvGroups, GetIntPart(record, 3, Sep));
        if (node != nullptr && node != tvGroups->currentItem()) {
            if (FGroupNode == node)
                FGroupNode = nullptr;
            delete node;
        }
    }
    // The other children keep their positions; the next addition renumbers them.
    TStringList& records = FEditItems->Items();
    if (const int index = records.IndexOf(record); index >= 0)
        records.Delete(index);
    const int count = grdItems->RowCount();
    for (int r = row; r + 1 < count; ++r)
        for (int col = 0; col < 2; ++col)
            grdItems->SetCell(col, r, grdItems->Cell(col, r + 1));
    if (count == 2) {
        grdItems->SetCell(0, 1, QString());
        grdItems->SetCell(1, 1, QString());
        grdItems->setEnabled(false);
    } else {
        grdItems->SetRowCount(count - 1);
        if (row == grdItems->RowCount())
            --row;
        grdItems->SetRow(row);
    }
    AdjustItemsButtons(row);
}

void TEditFavoritesWnd::btnUpDownClick(QObject* sender) {
    EndEdit();
    const int d = sender->property("tag").toInt();
    const int r = grdItems->Row();
    if ((d != -1 && d != 1) || !grdItems->Enabled() || r < 1 || r + d < 1 ||
        r + d >= grdItems->RowCount())
        return;
    MakePositionsDistinct();
    std::string a = RowRecord(r);
    std::string b = RowRecord(r + d);
    FEditItems->ExchangeItems(a, b);
    // Each item takes along the alias its row showed, typed or not.
    a = FEditItems->ChangeAlias(a, ui::BytesFromQString(grdItems->Cell(AliasColumn, r + d)));
    b = FEditItems->ChangeAlias(b, ui::BytesFromQString(grdItems->Cell(AliasColumn, r)));
    grdItems->SetCell(0, r, Text(a));
    grdItems->SetCell(AliasColumn, r, Text(RecordAlias(a)));
    grdItems->SetCell(0, r + d, Text(b));
    grdItems->SetCell(AliasColumn, r + d, Text(RecordAlias(b)));
    grdItems->SetRow(r + d);
    if (GetIntPart(a, 2, Sep) == fitGroup && GetIntPart(b, 2, Sep) == fitGroup)
        RebuildTree();
}

void TEditFavoritesWnd::MakePositionsDistinct() {
    std::vector<std::string> positions;
    for (int row = 1; row < grdItems->RowCount(); ++row)
        positions.push_back(GetPart(RowRecord(row), 1, Sep));
    std::sort(positions.begin(), positions.end());
    if (std::adjacent_find(positions.begin(), positions.end()) == positions.end())
        return;
    // Numbered again from 0 in the order the grid shows, as an addition numbers them.
    TStringList& records = FEditItems->Items();
    TItemIndex index(records);
    for (int row = 1; row < grdItems->RowCount(); ++row) {
        const std::string record = RowRecord(row);
        const std::size_t bar = record.find(Sep);
        if (bar == std::string::npos)
            continue;
        const std::size_t next = record.find(Sep, bar + 1);
        std::string numbered = record.substr(0, bar + 1) + IntToStrLen(row - 1, 3) +
                               (next == std::string::npos ? "" : record.substr(next));
        if (numbered == record)
            continue;
        if (const int at = index.First(record); at >= 0) {
            index.Replace(at, numbered);
            grdItems->SetCell(0, row, Text(numbered));
            records.Put(at, std::move(numbered));
        }
    }
}

void TEditFavoritesWnd::RebuildTree() {
    tvGroups->setUpdatesEnabled(false);
    FRebuilding = true;
    const int selected = ui::AbsoluteIndex(tvGroups->currentItem());
    tvGroups->clear();
    FGroupNode = nullptr;
    ui::AddChildNode(*tvGroups, nullptr, QStringLiteral("All Files"), 0);
    AddTreeNode(nullptr, std::string(RootRecord));
    // The swapped groups are children of the selected node, so its index finds it again.
    if (QTreeWidgetItem* node = ui::NodeAtAbsoluteIndex(*tvGroups, selected)) {
        for (QTreeWidgetItem* p = node; p != nullptr; p = p->parent())
            p->setExpanded(true);
        tvGroups->setCurrentItem(node);
    }
    // Names typed in the grid and not written back yet stay in the tree.
    for (int row = 1; row < grdItems->RowCount(); ++row) {
        const std::string record = RowRecord(row);
        if (GetIntPart(record, 2, Sep) != fitGroup ||
            ui::BytesFromQString(grdItems->Cell(AliasColumn, row)) == RecordAlias(record))
            continue;
        if (QTreeWidgetItem* group = ui::FindNodeByData(*tvGroups, GetIntPart(record, 3, Sep)))
            group->setText(0, ui::ReadableText(grdItems->Cell(AliasColumn, row)));
    }
    FRebuilding = false;
    tvGroups->setUpdatesEnabled(true);
}

void TEditFavoritesWnd::btnHelpClick(QObject*) {
    ShowHelpTopic();
}

void TEditFavoritesWnd::btnAboutClick(QObject*) {
    ShowAboutBox();
}

bool EditFavorites(TFavoriteItems& items, const THostFiles& host) {
    const ui::TFormInstance<TEditFavoritesWnd> dialog(host);
    dialog->EditItems().Assign(items);
    if (ui::Modal().ShowModal(*dialog) != ui::mrOk)
        return false;
    dialog->FlushGrid();
    items.Assign(dialog->EditItems());
    return true;
}
