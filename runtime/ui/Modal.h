// The modal-interaction seam: every modal interaction with the user or the desktop goes
// through the installed ModalInteraction. The application installs QtModalInteraction;
// tests install ScriptedModalInteraction (ScriptedModal.h), which answers and records.
// Production code never calls exec() itself.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace ui {

// Modal results, numbered as the component runtime numbers them.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// Open-file dialog options that the add-in uses.
struct OpenDialogOptions {
    bool hideReadOnly = false;
    bool allowMultiSelect = false;
    bool enableSizing = false;
    bool fileMustExist = false;
};

// The state of a file-open dialog; it lives between uses (filter index, folder, names).
struct OpenDialogState {
    QString title;       // empty: the platform's default title
    QString filter;      // "Label|*.a;*.b|Label 2|*.c"
    int filterIndex = 1; // 1-based, as the runtime counts; kept between uses
    QString initialDir;
    QString fileName;  // in: proposed name; out: the chosen file (the first one)
    QStringList files; // out: every chosen file
    OpenDialogOptions options;
};

class ModalInteraction {
public:
    virtual ~ModalInteraction() = default;
    // Shows the dialog modally and returns its modal result (mrOk, mrCancel, ...); a dialog
    // rejected by Qt (Escape, close box) counts as mrCancel, as the runtime counts it.
    virtual int ShowModal(QDialog& dialog) = 0;
    // An error message box: error icon, one OK button, optional help context (0: none).
    virtual void ErrorBox(QWidget* parent, const QString& text, int helpContext) = 0;
    // Runs a file-open dialog on state; true when the user chose files (state updated),
    // false on cancel (files unchanged, filter index as the user left it).
    virtual bool OpenFile(QWidget* parent, OpenDialogState& state) = 0;
    // The folder chooser: prompt, preselected folder. True with folder set to the chosen
    // path; false (folder unchanged) on cancel.
    virtual bool BrowseFolder(QString& folder, const QString& prompt) = 0;
    // Shows help topic `context` of help file `helpFile`.
    virtual void ShowHelp(const QString& helpFile, int context) = 0;
    // Starts a program detached; false when it could not be started.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
};

// The installed seam. Until one is installed, a QtModalInteraction is created on first use.
ModalInteraction& Modal();
// Installs a seam (not owned); nullptr goes back to the default Qt one. Returns the previous.
ModalInteraction* SetModal(ModalInteraction* modal);

// Installs a seam for the lifetime of the guard and puts the previous one back afterwards.
class ScopedModal {
public:
    explicit ScopedModal(ModalInteraction& modal);
    ~ScopedModal();
    ScopedModal(const ScopedModal&) = delete;
    ScopedModal& operator=(const ScopedModal&) = delete;

private:
    ModalInteraction* previous_;
};

// Shorthands used by the dialogs and the add-in.
void ShowErrorBox(const QString& text, int helpContext = 0, QWidget* parent = nullptr);

} // namespace ui
