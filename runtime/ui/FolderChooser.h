// The folder chooser: a modal folder dialog with a prompt and a preselected folder.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <string>

namespace ui {

// Where the chooser's window goes on a screen: centred across, one third of the free height
// from the top, both divisions rounded toward zero.
QPoint FolderChooserPosition(const QRect& screen, const QSize& window);

} // namespace ui

// Shows the folder chooser with prompt, preselecting folder when it exists. True with folder
// set to exactly the chosen path; false, folder unchanged, when the user cancelled.
bool BrowseForFolder(std::string& folder, const std::string& prompt);
