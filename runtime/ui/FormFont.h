// The font the forms are designed with.
#pragma once

#include <QFont>

namespace ui {

// "MS Sans Serif" at pixel size 11 (8 point at 96 dpi). Where that family is missing, a sans
// face of similar width stands in, so that texts fit the forms' fixed bounds.
QFont FormFont();

} // namespace ui
