// The modal-interaction seam on Qt: the implementation the application runs with.
#pragma once

#include "Modal.h"

#include <QString>
#include <QStringList>

namespace ui {

// Real dialogs, message boxes, help and program starts. Every dialog it runs goes through
// ShowModal, the one place that enters a modal event loop. Help topics are looked for in the
// folders the application gives.
class QtModalInteraction : public ModalInteraction {
public:
    QtModalInteraction() = default;
    explicit QtModalInteraction(QStringList helpFolders) : FHelpFolders(std::move(helpFolders)) {}

    int ShowModal(QDialog& dialog) override;
    void ErrorBox(QWidget* parent, const QString& text, int helpContext) override;
    bool OpenFile(QWidget* parent, OpenDialogState& state) override;
    bool BrowseFolder(QString& folder, const QString& prompt) override;
    void ShowHelp(const QString& helpFile, int context) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;

    const QStringList& HelpFolders() const noexcept { return FHelpFolders; }
    void SetHelpFolders(QStringList folders) { FHelpFolders = std::move(folders); }

private:
    QStringList FHelpFolders;
};

// Converts a runtime filter ("Label|*.a;*.b|Label 2|*.c") to Qt name filters, one per label,
// "Label (*.a *.b)". "*.*" becomes "*" (every name, as on Windows); a label without masks
// gets "*"; an unpaired trailing label is dropped.
QStringList ToNameFilters(const QString& filter);

// The HTML topic for a help file and context ("Morvith.hlp", 70 -> morvith/70.html, the
// file's name in lower case) in the first of the folders that holds it; empty when none does.
QString HelpTopicPath(const QString& helpFile, int context, const QStringList& folders);

} // namespace ui
