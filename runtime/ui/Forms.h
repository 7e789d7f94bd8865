// What every form of the add-in does alike: its place on the screen and its lifetime.
#pragma once

#include <QApplication>
#include <QPointer>

#include <utility>

class QWidget;

namespace ui {

// Centres a window (its frame included) on the screen it is on.
void CentreOnScreen(QWidget& window);

// A form made for one showing, owned by the application's active window and freed when the
// instance goes, on every path. Should its owner take the form with it first, nothing is
// freed twice.
template <typename TForm> class TFormInstance {
public:
    template <typename... Args>
    explicit TFormInstance(Args&&... args)
        : FForm(new TForm(std::forward<Args>(args)..., QApplication::activeWindow())) {}
    ~TFormInstance() { delete FForm.data(); }
    TFormInstance(const TFormInstance&) = delete;
    TFormInstance& operator=(const TFormInstance&) = delete;

    TForm& operator*() const { return *FForm; }
    TForm* operator->() const { return FForm.data(); }

private:
    QPointer<TForm> FForm;
};

} // namespace ui
