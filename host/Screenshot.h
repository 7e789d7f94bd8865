// Pictures of the shell for the documentation.
#pragma once

#include <QString>

#include <functional>

class IdeWindow;

// Opens the Favorites menu (and its first sub-menu), then saves the window with the open
// menus to fileName and calls done(ok). Works on any platform plugin, offscreen included.
void ScreenshotFavoritesMenu(IdeWindow& window, const QString& fileName,
                             const std::function<void(bool)>& done);
// Saves the window to fileName once it has been laid out, then calls done(ok).
void ScreenshotWindow(IdeWindow& window, const QString& fileName,
                      const std::function<void(bool)>& done);
