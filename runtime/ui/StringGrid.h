// A string grid in the manner of the component runtime's: cells addressed by column and row,
// one fixed (header) row, a current cell, in-place editing and owner drawing. Built on Qt's
// model/view: a table view over a small model holding the cells, a delegate that hands every
// cell to the draw-cell event, and a header that draws the fixed row through the same event.
// Keyboard navigation, editing, scrolling, focus and accessibility are Qt's; what a screen
// reader says of a cell comes from the model, through OnAccessibleText.
#pragma once

#include "Canvas.h"

#include <QAbstractItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QTableView>

#include <functional>
#include <vector>

class QLineEdit;
class QValidator;

namespace ui {

// The drawing state of a cell.
struct TGridDrawState {
    bool selected = false; // the current cell
    bool focused = false;  // the current cell while the grid has the input focus
    bool fixed = false;    // a cell of the fixed row
};

class TStringGrid : public QTableView {
public:
    // Events, named as the component runtime names them. Rectangles are in the coordinates of
    // the painter the canvas draws with; x and y of OnMouseDown in the grid's coordinates
    // (the fixed row at the top).
    std::function<void(TCanvas& canvas, int col, int row, const QRect& rect, TGridDrawState)>
        OnDrawCell;
    // Asked before (col, row) becomes the current cell; clearing canSelect refuses it.
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>
        OnMouseDown;
    // Every change of the in-place editor's text, keystroke by keystroke.
    std::function<void(int col, int row, const QString& text)> OnSetEditText;
    std::function<void()> OnDblClick;
    // What a screen reader says of a non-fixed cell: role is Qt::AccessibleTextRole or
    // Qt::AccessibleDescriptionRole, as the model is asked. Asked each time it reads the cell,
    // so it follows the cell as it is now. Without it a cell reads as its text.
    std::function<QString(int col, int row, Qt::ItemDataRole role)> OnAccessibleText;

    explicit TStringGrid(QWidget* parent = nullptr, int colCount = 5, int rowCount = 5);
    ~TStringGrid() override;

    int ColCount() const { return FColCount; }
    // Rows including the fixed row; never fewer than the fixed row and one more.
    int RowCount() const { return static_cast<int>(FCells.size()); }
    void SetRowCount(int count);
    int FixedRows() const { return FixedRowCount; }

    // Cells[col, row]; empty outside the grid, where writes are ignored.
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // The current cell. Setting it asks OnSelectCell first; a refused or out-of-range cell
    // leaves it as it was.
    int Col() const;
    int Row() const;
    void SetCol(int col);
    void SetRow(int row);
    void SetCurrentCell(int col, int row);

    // Widths and the row height exclude the grid line that follows each cell.
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const { return FRowHeight; }
    void SetDefaultRowHeight(int height);
    int GridLineWidth() const { return showGrid() ? 1 : 0; }

    // When on (the default) the grid fills each cell and draws its text before OnDrawCell;
    // when off only OnDrawCell draws.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool on) { FDefaultDrawing = on; }
    // In-place editing of the non-fixed cells: F2 or typing opens the editor on the current
    // cell, Enter commits it (the dialog stays open), Escape restores the text it started with.
    bool Editing() const { return FEditing; }
    void SetEditing(bool on);
    // Characters the editor does not take; a pasted text loses them.
    void SetRefusedEditChars(const QString& chars) { FRefusedEditChars = chars; }
    // True while the in-place editor is open. Setting false commits and closes it; setting
    // true opens it on the current cell.
    bool EditorMode() const;
    void SetEditorMode(bool on);

    // The cell at a point in the grid's coordinates; false when the point is on no cell.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // Repaints one cell.
    void InvalidateCell(int col, int row);
    // The grid's own enabled state, whatever its parents' (setEnabled sets it).
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    // True when the grid can take the focus now (enabled and shown, its window included).
    bool CanFocus() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    class Model;
    class Delegate;
    class Header;
    class Selection;
    friend class Delegate;
    friend class Header;
    friend class Selection;

    static constexpr int FixedRowCount = 1;

    void PaintCell(QPainter& painter, const QRect& rect, int col, int row, TGridDrawState state);
    bool AskSelectCell(int col, int row);
    void EditorOpened(QLineEdit* editor, const QModelIndex& index);
    void EditorTextEdited(const QPersistentModelIndex& index, const QString& text);
    int HeaderHeight() const;

    int FColCount;
    std::vector<std::vector<QString>> FCells; // [row][col]
    int FRowHeight = 24;
    bool FDefaultDrawing = true;
    bool FEditing = false;
    QString FRefusedEditChars;
    QPointer<QLineEdit> FEditor;
    QPersistentModelIndex FEditIndex;
    QString FEditOriginal;
    Model* FModel;
    Header* FHeader;
};

// A validator that drops the given characters from whatever is typed or pasted.
QValidator* NewCharFilter(const QString& refused, QObject* parent);

} // namespace ui
