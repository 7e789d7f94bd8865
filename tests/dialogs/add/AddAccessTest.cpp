// What a screen reader is told of the Add To Favorites dialog, read in-process through Qt's
// accessibility interfaces, and F1.
#include "AddToFav.h"
#include "AddToFavoritesWnd.h"
#include "ScriptedModal.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string NameOf(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name).toStdString() : "<none>";
}

class AddAccessTest : public ::testing::Test {
protected:
    ui::ScriptedModalInteraction modal;
    ui::ScopedModal installed{modal};
};

TEST_F(AddAccessTest, EveryControlHasANameOfItsOwn) {
    std::map<std::string, std::string> names; // object name -> accessible name
    modal.QueueDialog([&names](QDialog& dialog) {
        static const char* const prefixes[] = {"btn", "edt", "cmb", "rdo", "gb"};
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            const std::string object = control->objectName().toStdString();
            for (const char* prefix : prefixes)
                if (object.starts_with(prefix))
                    names[object] = NameOf(control);
        }
        return int(ui::mrCancel);
    });
    AddToFavorites({});

    const std::map<std::string, std::string> expected{
        {"btnOk", "OK"},
        {"btnCancel", "Cancel"},
        {"btnHelp", "Help"},
        {"gbAdd", "Add"},
        {"btnItem", "Browse for the item"},
        {"btnGroup", "Browse for the group's files or folder"},
        {"rdoCurrentProject", "Current Project: <None>."},
        {"rdoCurrentFile", "Current File: <None>."},
        {"rdoItem", "Item:"},
        {"edtItem", "Item"},
        // On Linux Qt names a closed list after its entry (a screen reader hears the list's
        // own name through its label relation); elsewhere it takes the name given.
#ifdef Q_OS_UNIX
        {"cmbItem", "File"},
        {"cmbGroup", "All Files (*.dpr;*.bpg;*.dpk;*.pas)"},
#else
        {"cmbItem", "Kind of item"},
        {"cmbGroup", "Kind of group"},
#endif
        {"rdoGroup", "Group:"},
        {"edtGroup", "Group"},
        {"gbAlias", "Alias"},
        {"edtAlias", "Alias"},
    };
    EXPECT_EQ(names, expected);
    // Apart from the alias box and the field inside it, no two controls are called alike.
    std::set<std::string> distinct;
    for (const auto& [object, name] : names) {
        if (object == "gbAlias")
            continue;
        EXPECT_TRUE(distinct.insert(name).second) << object << ": " << name;
    }
}

TEST_F(AddAccessTest, F1FromAnyControlOpensTopic70) {
    modal.QueueDialog([this](QDialog& dialog) {
        auto& wnd = static_cast<TAddToFavoritesWnd&>(dialog);
        wnd.rdoItem->click();
        QWidget* const controls[] = {wnd.edtItem, wnd.cmbItem, wnd.rdoItem, wnd.edtAlias,
                                     wnd.btnOk};
        for (QWidget* control : controls)
            QTest::keyClick(control, Qt::Key_F1);
        EXPECT_TRUE(wnd.isVisible()); // F1 does not close the dialog
        return int(ui::mrCancel);
    });
    AddToFavorites({});
    ASSERT_EQ(modal.HelpRequests().size(), 5u);
    for (const auto& request : modal.HelpRequests()) {
        EXPECT_EQ(request.helpFile, QStringLiteral("Morvith.hlp"));
        EXPECT_EQ(request.context, 70);
    }
}

} // namespace
