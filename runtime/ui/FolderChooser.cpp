#include "FolderChooser.h"

#include "Modal.h"

#include <QString>

namespace ui {

QPoint FolderChooserPosition(const QRect& screen, const QSize& window) {
    // C++ integer division truncates toward zero, as the placement requires for a window
    // larger than the screen.
    return {screen.x() + (screen.width() - window.width()) / 2,
            screen.y() + (screen.height() - window.height()) / 3};
}

} // namespace ui

bool BrowseForFolder(std::string& folder, const std::string& prompt) {
    QString chosen = QString::fromStdString(folder);
    if (!ui::Modal().BrowseFolder(chosen, QString::fromStdString(prompt)))
        return false;
    folder = chosen.toStdString();
    return true;
}
