#include "EditFavFixture.h"

#include "AddToFavoritesWnd.h"
#include "Modal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

void Fill(TFavoriteItems& items, const std::vector<std::string>& records, int lastId) {
    items.SetItems(TStringList(records));
    items.SetLastID(lastId);
}

void EditFavTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    ui::SetModal(&modal);
}

void EditFavTest::TearDown() {
    wnd = nullptr;
    owned.reset();
    ui::SetModal(nullptr);
}

void EditFavTest::Open(const std::vector<std::string>& records, int lastId) {
    TFavoriteItems items;
    Fill(items, records, lastId);
    owned = std::make_unique<TEditFavoritesWnd>();
    wnd = owned.get();
    wnd->EditItems().Assign(items);
    wnd->show();
    wnd->activateWindow();
    QApplication::processEvents();
}

std::string EditFavTest::MakeFile(const std::string& name) const {
    const QString path = QDir(dir.path()).filePath(QString::fromStdString(name));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path.toStdString();
}

std::string EditFavTest::MakeFolder(const std::string& name) const {
    const QString path = QDir(dir.path()).filePath(QString::fromStdString(name));
    QDir().mkpath(path);
    return path.toStdString();
}

std::string EditFavTest::Tree() const {
    std::string out;
    for (QTreeWidgetItemIterator it(wnd->tvGroups); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        out += std::string(2 * depth, ' ') + (*it)->text(0).toStdString();
        if ((*it)->isExpanded() && (*it)->childCount() > 0)
            out += " +";
        if (*it == wnd->tvGroups->currentItem())
            out += " *";
        out += "\n";
    }
    return out;
}

std::string EditFavTest::Aliases() const {
    std::string out;
    for (int row = 1; row < wnd->grdItems->RowCount(); ++row)
        out += (row > 1 ? "," : "") + wnd->grdItems->Cell(1, row).toStdString();
    return out;
}

std::string EditFavTest::Buttons() const {
    const std::pair<QPushButton*, char> buttons[] = {{wnd->btnOpen, 'P'}, {wnd->btnAdd, 'A'},
                                                     {wnd->btnEdit, 'E'}, {wnd->btnDelete, 'D'},
                                                     {wnd->btnUp, 'U'},   {wnd->btnDown, 'N'}};
    std::string out;
    for (const auto& [button, key] : buttons)
        out += button->isEnabled() ? key : '-';
    return out;
}

void EditFavTest::Take(QDialog& dialog) {
    wnd = static_cast<TEditFavoritesWnd*>(&dialog);
    dialog.activateWindow();
    QApplication::processEvents();
}

void EditFavTest::AccessKey(Qt::Key key) const {
    // As after a modal loop, the dialog is active again once a dialog it opened is gone.
    wnd->activateWindow();
    QApplication::processEvents();
    QTest::keyClick(wnd, key, Qt::AltModifier);
    // A button pressed by its access key clicks after a short animation.
    QTest::qWait(AnimatedClickMs);
}

void EditFavTest::SelectNode(const QString& text) const {
    const QList<QTreeWidgetItem*> found =
        wnd->tvGroups->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    wnd->tvGroups->setCurrentItem(found.first());
}

QLineEdit* EditFavTest::Editor() const {
    for (QLineEdit* editor : wnd->grdItems->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

std::vector<std::string> EditFavTest::Copy() const {
    TStringList records(wnd->EditItems().Items());
    records.Sort();
    return records.Lines();
}

ui::ScriptedModalInteraction::DialogScript
EditFavTest::AddScript(bool group, const std::string& path, const std::string& alias) {
    return [=](QDialog& dialog) {
        auto& add = static_cast<TAddToFavoritesWnd&>(dialog);
        (group ? add.rdoGroup : add.rdoItem)->click();
        (group ? add.edtGroup : add.edtItem)->setText(QString::fromStdString(path));
        add.edtAlias->setText(QString::fromStdString(alias));
        add.btnOk->click();
        return ui::ScriptedModalInteraction::ResultOf(dialog);
    };
}

void EditFavTest::TypeAlias(const QString& text) const {
    wnd->grdItems->setFocus();
    QTest::keyClick(wnd->grdItems, Qt::Key_F2);
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}
