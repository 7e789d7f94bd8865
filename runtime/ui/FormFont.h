// The font the forms are designed with.
#pragma once

#include <QFont>

namespace ui {

// The face that stands in for the forms' "MS Sans Serif" on every machine: Liberation Sans
// from Debian's fonts-liberation2, a declared dependency, so every machine lays the forms out
// alike whatever else it has installed.
inline constexpr const char* FormFontFamily = "Liberation Sans";

// The forms' font: FormFontFamily at pixel size 11 (8 point at 96 dpi), narrowed to the widths
// the forms were laid out with. Also makes "MS Sans Serif" and "Arial" resolve to
// FormFontFamily where a machine lacks them.
QFont FormFont();

} // namespace ui
