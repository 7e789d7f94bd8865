#include "FolderChooser.h"

#include "Modal.h"
#include "TextBytes.h"

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
    // Byte for byte both ways: a folder stored in ANSI reaches the chooser as it is stored.
    QString chosen = ui::QStringFromBytes(folder);
    if (!ui::Modal().BrowseFolder(chosen, ui::QStringFromBytes(prompt)))
        return false;
    folder = ui::BytesFromQString(chosen);
    return true;
}
