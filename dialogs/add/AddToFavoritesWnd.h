// The Add To Favorites form: four modes (current project, current file, one item, a group),
// a default alias derived from the choice, and the checks made when the user presses OK.
#pragma once

#include "AddToFav.h"
#include "Forms.h"
#include "Modal.h"
#include "StringList.h"

#include <string>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// Escape and the close box cancel without checks.
class TAddToFavoritesWnd : public ui::TForm {
public:
    explicit TAddToFavoritesWnd(QWidget* parent = nullptr);
    ~TAddToFavoritesWnd() override;

    // Takes the host's project and current file: "<None>" and a disabled radio button for
    // one that does not exist (a form file stands for its unit; the project is no current
    // file).
    void Prepare(const THostFiles& host);

    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnHelp;
    QGroupBox* gbAdd;
    QToolButton* btnItem;
    QToolButton* btnGroup;
    QRadioButton* rdoCurrentProject;
    QRadioButton* rdoCurrentFile;
    QRadioButton* rdoItem;
    QLineEdit* edtItem;
    QComboBox* cmbItem;
    QRadioButton* rdoGroup;
    QLineEdit* edtGroup;
    QComboBox* cmbGroup;
    ui::OpenDialogState dlgOpenFile;
    QGroupBox* gbAlias;
    QLineEdit* edtAlias;

    // What AddToFavorites reads after OK besides the controls.
    const std::string& ProjectName() const { return FProjectName; }
    const std::string& CurrentFile() const { return FCurrentFile; }
    const TStringList& SelectedFiles() const { return FSelectedFiles; }
    const std::string& GroupFolder() const { return FGroupFolder; }

protected:
    void FormShow() override;

private:
    void FormCreate();
    // True when the dialog may close with result; checks the input only for OK.
    bool FormCloseQuery(int result);
    void FormDestroy();
    void RadioBtnClick();
    void btnOkClick();
    void btnItemClick();
    void btnGroupClick();
    void cmbGroupClick();
    void edtGroupChange();
    void btnHelpClick();
    void AdjustControls();
    void AdjustAlias();
    // Shows message, gives the focus to control and refuses the close.
    bool Refuse(std::string_view message, QWidget* control);

    std::string FProjectName;
    std::string FCurrentFile;
    TStringList FSelectedFiles;
    std::string FGroupFolder;
};
