#include "ScriptedModal.h"

#include <QAbstractButton>
#include <QDialog>

#include <typeinfo>
#include <utility>

namespace ui {

namespace {

template <typename T> std::optional<T> TakeFront(std::deque<T>& queue) {
    if (queue.empty())
        return std::nullopt;
    std::optional<T> front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

void ScriptedModalInteraction::QueueDialog(DialogScript script) {
    dialogScripts_.push_back(std::move(script));
}

void ScriptedModalInteraction::QueueOpenFile(QStringList files, int filterIndex) {
    openFileAnswers_.push_back({true, std::move(files), filterIndex});
}

void ScriptedModalInteraction::QueueOpenFileCancel(int filterIndex) {
    openFileAnswers_.push_back({false, {}, filterIndex});
}

void ScriptedModalInteraction::QueueFolder(QString folder) {
    folderAnswers_.push_back({true, std::move(folder)});
}

void ScriptedModalInteraction::QueueFolderCancel() {
    folderAnswers_.push_back({});
}

void ScriptedModalInteraction::QueueStartProgram(bool starts) {
    programAnswers_.push_back(starts);
}

bool ScriptedModalInteraction::AllAnswersUsed() const {
    return dialogScripts_.empty() && openFileAnswers_.empty() && folderAnswers_.empty() &&
           programAnswers_.empty();
}

QStringList ScriptedModalInteraction::ErrorTexts() const {
    QStringList texts;
    for (const ShownError& error : errors_)
        texts << error.text;
    return texts;
}

int ScriptedModalInteraction::ResultOf(const QDialog& dialog) {
    if (dialog.isVisible())
        return mrNone;
    return dialog.result() == QDialog::Rejected ? mrCancel : dialog.result();
}

ScriptedModalInteraction::DialogScript
ScriptedModalInteraction::ClickButton(const QString& objectName) {
    return [objectName](QDialog& dialog) {
        auto* button = dialog.findChild<QAbstractButton*>(objectName);
        if (!button)
            return static_cast<int>(mrNone);
        button->click();
        return ResultOf(dialog);
    };
}

int ScriptedModalInteraction::ShowModal(QDialog& dialog) {
    dialogs_.push_back(
        {dialog.windowTitle(), dialog.objectName(), std::type_index(typeid(dialog))});
    // Taken before it runs, so a dialog the script opens gets the next script.
    std::optional<DialogScript> script = TakeFront(dialogScripts_);
    dialog.show();
    int result = mrCancel;
    if (script && *script) {
        result = (*script)(dialog);
    } else {
        dialog.reject();
    }
    // As after a modal loop, the dialog is no longer shown when the call returns.
    if (dialog.isVisible())
        dialog.hide();
    return result;
}

void ScriptedModalInteraction::ErrorBox(QWidget* /*parent*/, const QString& text, int helpContext) {
    errors_.push_back({text, helpContext});
}

bool ScriptedModalInteraction::OpenFile(QWidget* /*parent*/, OpenDialogState& state) {
    openFiles_.push_back(state);
    const std::optional<OpenFileAnswer> answer = TakeFront(openFileAnswers_);
    if (!answer)
        return false;
    if (answer->filterIndex > 0)
        state.filterIndex = answer->filterIndex;
    if (!answer->accept || answer->files.isEmpty())
        return false;
    state.files = answer->files;
    state.fileName = answer->files.first();
    return true;
}

bool ScriptedModalInteraction::BrowseFolder(QString& folder, const QString& prompt) {
    folders_.push_back({prompt, folder});
    const std::optional<FolderAnswer> answer = TakeFront(folderAnswers_);
    if (!answer || !answer->choose)
        return false;
    folder = answer->folder;
    return true;
}

void ScriptedModalInteraction::ShowHelp(const QString& helpFile, int context) {
    help_.push_back({helpFile, context});
}

bool ScriptedModalInteraction::StartProgram(const QString& program, const QStringList& arguments) {
    programs_.push_back({program, arguments});
    return TakeFront(programAnswers_).value_or(false);
}

} // namespace ui
