#include "Screenshot.h"

#include "IdeWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

constexpr int SettleMs = 400;

// The window's client area with every visible popup menu painted where it stands.
QPixmap Compose(IdeWindow& window) {
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    QRect bounds(QPoint(0, 0), window.size());
    QList<QMenu*> menus;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu != nullptr && menu->isVisible()) {
            menus.append(menu);
            bounds |= QRect(menu->pos() - origin, menu->size());
        }
    }
    QPixmap canvas(bounds.size());
    canvas.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter painter(&canvas);
    painter.drawPixmap(-bounds.topLeft(), window.grab());
    // Parents before children, so a sub-menu lies on top of its menu.
    std::sort(menus.begin(), menus.end(),
              [](QMenu* a, QMenu* b) { return a->pos().x() < b->pos().x(); });
    for (QMenu* menu : menus)
        painter.drawPixmap(menu->pos() - origin - bounds.topLeft(), menu->grab());
    return canvas;
}

} // namespace

void ScreenshotFavoritesMenu(IdeWindow& window, const QString& fileName,
                             const std::function<void(bool)>& done) {
    QTimer::singleShot(SettleMs, &window, [&window, fileName, done] {
        auto* favorites = window.menuBar()->findChild<QMenu*>(QStringLiteral("FavoriteMenu"));
        if (favorites == nullptr) {
            done(false);
            return;
        }
        window.menuBar()->setActiveAction(favorites->menuAction());
        QTimer::singleShot(SettleMs, &window, [&window, favorites, fileName, done] {
            // Open the first group, to show a sub-menu as well.
            for (QAction* action : favorites->actions()) {
                if (QMenu* group = action->menu(); group != nullptr && !group->isEmpty()) {
                    favorites->setActiveAction(action);
                    const QRect rect = favorites->actionGeometry(action);
                    group->popup(favorites->mapToGlobal(rect.topRight()));
                    break;
                }
            }
            QTimer::singleShot(SettleMs, &window, [&window, fileName, done] {
                done(Compose(window).save(fileName, "PNG"));
            });
        });
    });
}

void ScreenshotWindow(IdeWindow& window, const QString& fileName,
                      const std::function<void(bool)>& done) {
    QTimer::singleShot(SettleMs, &window,
                       [&window, fileName, done] { done(window.grab().save(fileName, "PNG")); });
}
