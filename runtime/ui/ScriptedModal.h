// A modal-interaction seam for tests and non-interactive runs: it never enters a modal loop,
// answers from queued scripts and records everything it was asked to show.
#pragma once

#include "Modal.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <typeindex>
#include <vector>

namespace ui {

class ScriptedModalInteraction : public ModalInteraction {
public:
    // Acts on a dialog that is already shown (non-modally) and returns its modal result.
    using DialogScript = std::function<int(QDialog&)>;

    struct ShownDialog {
        QString title;
        QString objectName;
        std::type_index type;
    };
    struct ShownError {
        QString text;
        int helpContext = 0;
    };
    struct FolderRequest {
        QString prompt;
        QString folder; // preselected folder as passed in
    };
    struct HelpRequest {
        QString helpFile;
        int context = 0;
    };
    struct ProgramStart {
        QString program;
        QStringList arguments;
    };

    // Answers, each queue used first in, first out.
    // The next ShowModal runs script; without one the dialog is rejected (mrCancel).
    void QueueDialog(DialogScript script);
    // The next OpenFile chooses files; filterIndex > 0 is the filter the user left.
    void QueueOpenFile(QStringList files, int filterIndex = 0);
    // The next OpenFile is cancelled (also the default), leaving filterIndex when > 0.
    void QueueOpenFileCancel(int filterIndex = 0);
    // The next BrowseFolder chooses folder; without an answer it is cancelled.
    void QueueFolder(QString folder);
    void QueueFolderCancel();
    // The next StartProgram succeeds or fails; without an answer it fails.
    void QueueStartProgram(bool starts);
    // True when every queued answer was used.
    bool AllAnswersUsed() const;

    // What was shown, in order.
    const std::vector<ShownDialog>& Dialogs() const { return dialogs_; }
    const std::vector<ShownError>& Errors() const { return errors_; }
    QStringList ErrorTexts() const;
    const std::vector<OpenDialogState>& OpenFiles() const { return openFiles_; }
    const std::vector<FolderRequest>& Folders() const { return folders_; }
    const std::vector<HelpRequest>& HelpRequests() const { return help_; }
    const std::vector<ProgramStart>& ProgramStarts() const { return programs_; }

    // The dialog's result as a modal result: Qt's Rejected counts as mrCancel.
    static int ResultOf(const QDialog& dialog);
    // A script that clicks the dialog's button with this object name and returns the
    // dialog's result; mrNone when the dialog stayed open.
    static DialogScript ClickButton(const QString& objectName);

    int ShowModal(QDialog& dialog) override;
    void ErrorBox(QWidget* parent, const QString& text, int helpContext) override;
    bool OpenFile(QWidget* parent, OpenDialogState& state) override;
    bool BrowseFolder(QString& folder, const QString& prompt) override;
    void ShowHelp(const QString& helpFile, int context) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;

private:
    struct OpenFileAnswer {
        bool accept = false;
        QStringList files;
        int filterIndex = 0;
    };

    std::deque<DialogScript> dialogScripts_;
    std::deque<OpenFileAnswer> openFileAnswers_;
    struct FolderAnswer {
        bool choose = false;
        QString folder;
    };

    std::deque<FolderAnswer> folderAnswers_;
    std::deque<bool> programAnswers_;

    std::vector<ShownDialog> dialogs_;
    std::vector<ShownError> errors_;
    std::vector<OpenDialogState> openFiles_;
    std::vector<FolderRequest> folders_;
    std::vector<HelpRequest> help_;
    std::vector<ProgramStart> programs_;
};

} // namespace ui
