// Placement shared by the fixed-size forms.
#pragma once

class QWidget;

namespace ui {

// Moves a top-level window, frame included, to the centre of the screen it is on (not over
// the window that opened it).
void CenterOnScreen(QWidget& window);

} // namespace ui
