#include "EditFavFixture.h"

#include "Modal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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
    items.SetItems(TStringList(records));
    items.SetLastID(lastId);
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

void EditFavTest::TypeAlias(const QString& text) const {
    wnd->grdItems->setFocus();
    QTest::keyClick(wnd->grdItems, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : wnd->grdItems->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}
