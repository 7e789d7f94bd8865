#include "StringGrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QValidator>

#include <algorithm>

namespace ui {

namespace {

// Drops refused characters from the editor's text, wherever they come from.
class TCharFilter : public QValidator {
public:
    TCharFilter(QString refused, QObject* parent)
        : QValidator(parent), FRefused(std::move(refused)) {}

    State validate(QString& input, int& pos) const override {
        qsizetype kept = 0;
        int newPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (FRefused.contains(input.at(i))) {
                if (i < pos)
                    --newPos;
                continue;
            }
            input[kept++] = input.at(i);
        }
        input.truncate(kept);
        pos = newPos;
        return Acceptable;
    }

private:
    QString FRefused;
};

// The in-place editor. Enter is taken here, so that committing an edit does not also press the
// dialog's default button.
class TInplaceEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QLineEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }
};

} // namespace

QValidator* NewCharFilter(const QString& refused, QObject* parent) {
    return new TCharFilter(refused, parent);
}

// The cells below the fixed row; the fixed row is the horizontal header's data.
class TStringGrid::Model : public QAbstractTableModel {
public:
    explicit Model(TStringGrid& grid) : QAbstractTableModel(&grid), FGrid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : FGrid.RowCount() - FixedRowCount;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : FGrid.ColCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int col = index.column();
        const int row = index.row() + FixedRowCount;
        if (role == Qt::AccessibleTextRole || role == Qt::AccessibleDescriptionRole) {
            if (FGrid.OnAccessibleText)
                return FGrid.OnAccessibleText(col, row, static_cast<Qt::ItemDataRole>(role));
            return role == Qt::AccessibleTextRole ? FGrid.Cell(col, row) : QString();
        }
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return FGrid.Cell(col, row);
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || !index.isValid())
            return false;
        FGrid.SetCell(index.column(), index.row() + FixedRowCount, value.toString());
        return true;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return FGrid.Cell(section, 0);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (FGrid.Editing())
            flags |= Qt::ItemIsEditable;
        return flags;
    }

    void CellChanged(int col, int row) {
        if (row < FixedRowCount) {
            emit headerDataChanged(Qt::Horizontal, col, col);
        } else {
            const QModelIndex cell = index(row - FixedRowCount, col);
            emit dataChanged(cell, cell);
        }
    }
    void Resize(std::vector<std::vector<QString>>& cells, int rows, int cols) {
        const int old = static_cast<int>(cells.size());
        if (rows > old) {
            beginInsertRows({}, old - FixedRowCount, rows - FixedRowCount - 1);
            cells.resize(static_cast<std::size_t>(rows), std::vector<QString>(cols));
            endInsertRows();
        } else if (rows < old) {
            beginRemoveRows({}, rows - FixedRowCount, old - FixedRowCount - 1);
            cells.resize(static_cast<std::size_t>(rows));
            endRemoveRows();
        }
    }

private:
    TStringGrid& FGrid;
};

// Hands every cell to the grid's drawing and gives the grid its in-place editor.
class TStringGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TStringGrid& grid) : QStyledItemDelegate(&grid), FGrid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        TGridDrawState state;
        state.selected = index == FGrid.currentIndex();
        state.focused = state.selected && (FGrid.hasFocus() || FGrid.viewport()->hasFocus());
        FGrid.PaintCell(*painter, option.rect, index.column(), index.row() + FixedRowCount, state);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new TInplaceEdit(parent);
        editor->setFrame(false);
        if (!FGrid.FRefusedEditChars.isEmpty())
            editor->setValidator(NewCharFilter(FGrid.FRefusedEditChars, editor));
        FGrid.EditorOpened(editor, index);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // The cell follows the editor keystroke by keystroke; setting the same text again would
        // only move the cursor to the end.
        auto* edit = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (edit->text() != text)
            edit->setText(text);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

private:
    TStringGrid& FGrid;
};

// The fixed row: drawn cell by cell through the grid's drawing, with the grid's lines.
class TStringGrid::Header : public QHeaderView {
public:
    explicit Header(TStringGrid& grid) : QHeaderView(Qt::Horizontal, &grid), FGrid(grid) {}

    void SetHeight(int height) {
        FHeight = height;
        updateGeometry();
    }
    QSize sizeHint() const override { return {QHeaderView::sizeHint().width(), FHeight}; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        const int line = FGrid.GridLineWidth();
        if (line > 0) {
            QStyleOption option;
            option.initFrom(&FGrid);
            const QColor gridColor = QColor::fromRgba(static_cast<QRgb>(
                FGrid.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &FGrid)));
            painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), gridColor);
            painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), gridColor);
        }
        TGridDrawState state;
        state.fixed = true;
        FGrid.PaintCell(*painter, rect.adjusted(0, 0, -line, -line), logicalIndex, 0, state);
    }
    void paintEvent(QPaintEvent* event) override {
        QHeaderView::paintEvent(event);
        // Right of the last column the grid shows its window colour, as below the last row.
        const int last = count() - 1;
        const int end = last >= 0 ? sectionViewportPosition(last) + sectionSize(last) : 0;
        if (end < viewport()->width()) {
            QPainter painter(viewport());
            painter.fillRect(QRect(end, 0, viewport()->width() - end, viewport()->height()),
                             SysColor(FGrid.palette(), TSysColor::Window));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (FGrid.OnMouseDown) {
            const QPoint p = event->position().toPoint();
            FGrid.OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        mousePressEvent(event);
        if (FGrid.OnDblClick)
            FGrid.OnDblClick();
    }

private:
    TStringGrid& FGrid;
    int FHeight = 24;
};

// Asks the grid's OnSelectCell before any change of the current cell, from the keyboard, the
// mouse or code.
class TStringGrid::Selection : public QItemSelectionModel {
public:
    Selection(QAbstractItemModel* model, TStringGrid& grid)
        : QItemSelectionModel(model, &grid), FGrid(grid) {}

    void setCurrentIndex(const QModelIndex& index,
                         QItemSelectionModel::SelectionFlags command) override {
        if (index.isValid() && !FGrid.AskSelectCell(index.column(), index.row() + FixedRowCount))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }
    // Moves the current cell without asking, for the grid's own start.
    void PlaceCurrent(const QModelIndex& index) {
        QItemSelectionModel::setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }

private:
    TStringGrid& FGrid;
};

TStringGrid::TStringGrid(QWidget* parent, int colCount, int rowCount)
    : QTableView(parent), FColCount(std::max(colCount, 1)) {
    FCells.assign(static_cast<std::size_t>(std::max(rowCount, FixedRowCount + 1)),
                  std::vector<QString>(static_cast<std::size_t>(FColCount)));

    FHeader = new Header(*this);
    FHeader->setSectionResizeMode(QHeaderView::Fixed);
    FHeader->setMinimumSectionSize(1);
    FHeader->setHighlightSections(false);
    FHeader->setSectionsClickable(false);
    FHeader->setStretchLastSection(false);
    setHorizontalHeader(FHeader);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);

    FModel = new Model(*this);
    setModel(FModel);
    QItemSelectionModel* initial = selectionModel();
    auto* selection = new Selection(FModel, *this);
    setSelectionModel(selection);
    delete initial;
    setItemDelegate(new Delegate(*this));

    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    SetDefaultRowHeight(FRowHeight);
    for (int col = 0; col < FColCount; ++col)
        SetColWidth(col, 64);
    selection->PlaceCurrent(FModel->index(0, 0));
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetRowCount(int count) {
    FModel->Resize(FCells, std::max(count, FixedRowCount + 1), FColCount);
}

QString TStringGrid::Cell(int col, int row) const {
    if (col < 0 || col >= FColCount || row < 0 || row >= RowCount())
        return {};
    return FCells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= FColCount || row < 0 || row >= RowCount())
        return;
    QString& cell = FCells[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == text)
        return;
    cell = text;
    FModel->CellChanged(col, row);
}

int TStringGrid::Col() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

int TStringGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRowCount : FixedRowCount;
}

void TStringGrid::SetCol(int col) {
    SetCurrentCell(col, Row());
}

void TStringGrid::SetRow(int row) {
    SetCurrentCell(Col(), row);
}

void TStringGrid::SetCurrentCell(int col, int row) {
    if (col < 0 || col >= FColCount || row < FixedRowCount || row >= RowCount())
        return;
    selectionModel()->setCurrentIndex(FModel->index(row - FixedRowCount, col),
                                      QItemSelectionModel::NoUpdate);
}

int TStringGrid::ColWidth(int col) const {
    return columnWidth(col) - GridLineWidth();
}

void TStringGrid::SetColWidth(int col, int width) {
    FHeader->resizeSection(col, width + GridLineWidth());
}

void TStringGrid::SetDefaultRowHeight(int height) {
    FRowHeight = height;
    verticalHeader()->setDefaultSectionSize(height + GridLineWidth());
    FHeader->SetHeight(height + GridLineWidth());
    updateGeometries();
}

void TStringGrid::SetEditing(bool on) {
    FEditing = on;
    setEditTriggers(on ? QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                       : QAbstractItemView::NoEditTriggers);
}

bool TStringGrid::EditorMode() const {
    return !FEditor.isNull() && state() == QAbstractItemView::EditingState;
}

void TStringGrid::SetEditorMode(bool on) {
    if (on) {
        if (FEditing && !EditorMode())
            edit(currentIndex());
        return;
    }
    if (EditorMode()) {
        QLineEdit* editor = FEditor;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = columnAt(x);
    const int header = HeaderHeight();
    if (y >= 0 && y < header) {
        row = 0;
    } else {
        const int body = rowAt(y - header);
        row = body < 0 ? -1 : body + FixedRowCount;
    }
    return col >= 0 && row >= 0;
}

void TStringGrid::InvalidateCell(int col, int row) {
    if (col < 0 || col >= FColCount || row < 0 || row >= RowCount())
        return;
    if (row < FixedRowCount)
        FHeader->viewport()->update(QRect(FHeader->sectionViewportPosition(col), 0,
                                          FHeader->sectionSize(col), FHeader->height()));
    else
        viewport()->update(visualRect(FModel->index(row - FixedRowCount, col)));
}

bool TStringGrid::CanFocus() const {
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

int TStringGrid::HeaderHeight() const {
    return FHeader->isHidden() ? 0 : FHeader->height();
}

void TStringGrid::PaintCell(QPainter& painter, const QRect& rect, int col, int row,
                            TGridDrawState state) {
    TCanvas canvas(painter, *this);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    if (FDefaultDrawing) {
        if (state.fixed) {
            canvas.SetBrushColor(canvas.Color(TSysColor::BtnFace));
            canvas.SetFontColor(canvas.Color(TSysColor::BtnText));
        } else if (state.focused) {
            canvas.SetBrushColor(canvas.Color(TSysColor::Highlight));
            canvas.SetFontColor(canvas.Color(TSysColor::HighlightText));
        }
        canvas.FillRect(rect);
        canvas.DrawText(rect.adjusted(2, 0, -2, 0), Cell(col, row), TEllipsis::None);
    }
    if (OnDrawCell)
        OnDrawCell(canvas, col, row, rect, state);
    painter.restore();
}

bool TStringGrid::AskSelectCell(int col, int row) {
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(col, row, canSelect);
    return canSelect;
}

void TStringGrid::EditorOpened(QLineEdit* editor, const QModelIndex& index) {
    FEditor = editor;
    FEditIndex = index;
    FEditOriginal = index.data(Qt::EditRole).toString();
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, this,
            [this, cell](const QString& text) { EditorTextEdited(cell, text); });
}

void TStringGrid::EditorTextEdited(const QPersistentModelIndex& index, const QString& text) {
    if (!index.isValid())
        return;
    const int col = index.column();
    const int row = index.row() + FixedRowCount;
    if (Cell(col, row) == text)
        return;
    SetCell(col, row, text);
    if (OnSetEditText)
        OnSetEditText(col, row, text);
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const QPersistentModelIndex cell = FEditIndex;
    const QString original = FEditOriginal;
    FEditIndex = QPersistentModelIndex();
    // Tab leaves the grid, with the edit kept, instead of editing the neighbouring cell.
    const bool leave = hint == QAbstractItemDelegate::EditNextItem ||
                       hint == QAbstractItemDelegate::EditPreviousItem;
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if (leave)
        hint = QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache && cell.isValid()) {
        const int col = cell.column();
        const int row = cell.row() + FixedRowCount;
        if (Cell(col, row) != original) {
            SetCell(col, row, original);
            if (OnSetEditText)
                OnSetEditText(col, row, original);
        }
    }
    if (leave)
        focusNextPrevChild(forward);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (OnMouseDown) {
        const QPoint p = event->position().toPoint();
        OnMouseDown(event->button(), event->modifiers(), p.x(), p.y() + HeaderHeight());
    }
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick();
}

} // namespace ui
