// Building and placing the fixed-size forms.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

namespace ui {

// A control of a form: made with args and the parent, named, at its bounds in the parent.
template <class Control, class... Args>
Control* MakeControl(QWidget* parent, const char* name, QRect bounds, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(bounds);
    return control;
}

// Moves a top-level window, frame included, to the centre of the screen it is on (not over
// the window that opened it).
void CenterOnScreen(QWidget& window);

// A fixed-size form: centred on the screen when shown, FormShow run before it appears, and
// Escape or the close box ending it with mrCancel.
class TForm : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Runs each time the form is shown, before it is on the screen.
    virtual void FormShow() {}
};

} // namespace ui
