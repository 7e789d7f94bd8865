#include "Modal.h"

#include "QtModalInteraction.h"

#include <QApplication>

namespace ui {

namespace {

// Each binary that links runtime_ui has its own copy of this pointer; the host hands its seam
// to a package, which installs it here with SetModal.
ModalInteraction* installed = nullptr;

ModalInteraction& DefaultModal() {
    // Holds no Qt object, so it may outlive the QApplication.
    static QtModalInteraction qtModal;
    return qtModal;
}

} // namespace

ModalInteraction& Modal() {
    return installed ? *installed : DefaultModal();
}

ModalInteraction* SetModal(ModalInteraction* modal) {
    ModalInteraction* previous = installed;
    installed = modal;
    return previous;
}

void ShowErrorBox(const QString& text, int helpContext, QWidget* parent) {
    Modal().ErrorBox(parent ? parent : QApplication::activeWindow(), text, helpContext);
}

ScopedModal::ScopedModal(ModalInteraction& modal) : previous_(SetModal(&modal)) {}

ScopedModal::~ScopedModal() {
    SetModal(previous_);
}

} // namespace ui
