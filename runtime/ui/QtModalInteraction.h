// The modal-interaction seam on Qt: the implementation the application runs with.
#pragma once

#include "Modal.h"

#include <QString>
#include <QStringList>

namespace ui {

// Real dialogs, message boxes, help and program starts. Every dialog it runs goes through
// ShowModal, the one place that enters a modal event loop.
class QtModalInteraction : public ModalInteraction {
public:
    int ShowModal(QDialog& dialog) override;
    void ErrorBox(QWidget* parent, const QString& text, int helpContext) override;
    bool OpenFile(QWidget* parent, OpenDialogState& state) override;
    bool BrowseFolder(QString& folder, const QString& prompt) override;
    void ShowHelp(const QString& helpFile, int context) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
};

// Converts a runtime filter ("Label|*.a;*.b|Label 2|*.c") to Qt name filters, one per label,
// "Label (*.a *.b)". "*.*" becomes "*" (every name, as on Windows); a label without masks
// gets "*"; an unpaired trailing label is dropped.
QStringList ToNameFilters(const QString& filter);

// Environment variable naming an extra folder searched first for help topics.
inline constexpr const char* HelpDirVariable = "QUENDLE_HELP_DIR";

// The shipped HTML topic for a help file and context ("Morvith.hlp", 70 ->
// help/morvith/70.html), searched in $QUENDLE_HELP_DIR, then where an installation puts it
// (share/quendle/help beside the program's bin folder), then in "help" next to the
// executable and in up to three folders above it. Empty when there is no such topic.
QString HelpTopicPath(const QString& helpFile, int context);

} // namespace ui
