// Building and placing the fixed-size forms.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

class QComboBox;

namespace ui {

// A control of a form: made with args and the parent, named, at its bounds in the parent.
template <class Control, class... Args>
Control* MakeControl(QWidget* parent, const char* name, QRect bounds, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(bounds);
    return control;
}

// A caption as a screen reader should say it: access-key marks gone ("&&" stays one "&") and
// no closing colon ("Alia&s:" -> "Alias").
QString CaptionText(const QString& caption);
// Names a control for assistive technologies after the caption that labels it on the form.
void NameAfterCaption(QWidget& control, const QString& caption);

// Gives a drop-down list the runtime's proportions: a 2-pixel frame and a 17-pixel button, so
// its text has the room the forms were designed with (Qt's styles keep some pixels more for
// themselves, which cut the longest entries at their end).
void UseRuntimeListMetrics(QComboBox& combo);

// Moves a top-level window, frame included, to the centre of the screen it is on (not over
// the window that opened it).
void CenterOnScreen(QWidget& window);

// A fixed-size form: centred on the screen when shown, FormShow run before it appears, and
// Escape or the close box ending it with mrCancel. A form with a help context opens that topic
// of its help file on F1, from whichever of its controls has the focus.
class TForm : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override;

    int HelpContext() const { return FHelpContext; }
    const QString& HelpFile() const { return FHelpFile; }
    void SetHelp(const QString& helpFile, int helpContext);
    // Shows the form's help topic through the modal seam; nothing without a help context.
    void ShowHelpTopic();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Runs each time the form is shown, before it is on the screen.
    virtual void FormShow() {}

private:
    QString FHelpFile;
    int FHelpContext = 0;
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
