// Building and placing the fixed-size forms.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
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

// A form made for one showing, owned by the application's active window and freed when the
// instance goes, on every path; should its owner take the form along first, nothing is freed
// twice.
template <class Form> class TFormInstance {
public:
    template <class... Args>
    explicit TFormInstance(Args&&... args)
        : FForm(new Form(std::forward<Args>(args)..., QApplication::activeWindow())) {}
    ~TFormInstance() { delete FForm.data(); }
    TFormInstance(const TFormInstance&) = delete;
    TFormInstance& operator=(const TFormInstance&) = delete;

    Form& operator*() const { return *FForm; }
    Form* operator->() const { return FForm.data(); }

private:
    QPointer<Form> FForm;
};

} // namespace ui
