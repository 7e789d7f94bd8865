// What a screen reader is told of the Add To Favorites dialog, read in-process through Qt's
// accessibility interfaces, and F1.
#include "AddToFav.h"
#include "AddToFavoritesWnd.h"
#include "ScriptedModal.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(AddAccess, EveryControlHasANameOfItsOwnAndF1OpensTopic70) {
    ui::ScriptedModalInteraction modal;
    const ui::ScopedModal installed(modal);
    std::map<std::string, std::string> names; // object name -> accessible name
    modal.QueueDialog([&names](QDialog& dialog) {
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            const std::string object = control->objectName().toStdString();
            if (object.starts_with("btn") || object.starts_with("edt") ||
                object.starts_with("cmb") || object.starts_with("rdo"))
                names[object] = QAccessible::queryAccessibleInterface(control)
                                    ->text(QAccessible::Name)
                                    .toStdString();
        }
        QTest::keyClick(static_cast<TAddToFavoritesWnd&>(dialog).edtItem, Qt::Key_F1);
        return int(ui::mrCancel);
    });
    AddToFavorites({});

    const std::map<std::string, std::string> expected{
        {"btnOk", "OK"},
        {"btnCancel", "Cancel"},
        {"btnHelp", "Help"},
        {"btnItem", "Browse for the item"},
        {"btnGroup", "Browse for the group's files or folder"},
        {"rdoCurrentProject", "Current Project: <None>."},
        {"rdoCurrentFile", "Current File: <None>."},
        {"rdoItem", "Item:"},
        {"edtItem", "Item"},
        {"rdoGroup", "Group:"},
        {"edtGroup", "Group"},
        {"edtAlias", "Alias"},
        // On Linux Qt names a closed list after its entry, its label going by a relation.
        {"cmbItem", "File"},
        {"cmbGroup", "All Files (*.dpr;*.bpg;*.dpk;*.pas)"},
    };
    EXPECT_EQ(names, expected); // and no two alike

    ASSERT_EQ(modal.HelpRequests().size(), 1u);
    EXPECT_EQ(modal.HelpRequests()[0].helpFile, QStringLiteral("Morvith.hlp"));
    EXPECT_EQ(modal.HelpRequests()[0].context, 70);
}

} // namespace
