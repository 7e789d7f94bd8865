#include "PackageLoader.h"

#include "Modal.h"
#include "QtHostMenu.h"

#include <QCoreApplication>
#include <QEvent>

PackageLoader::PackageLoader(TIToolServices& services, ui::ModalInteraction* modal) {
    FHost.toolServices = &services;
    FHost.registerLibraryExpert = &PackageLoader::RegisterExpert;
    FHost.context = this;
    FHost.modal = modal;
}

PackageLoader::~PackageLoader() {
    Unload();
}

void PackageLoader::RegisterExpert(void* context, TIExpert* expert) {
    auto* self = static_cast<PackageLoader*>(context);
    self->FExpert.reset(expert);
}

const TPackageInfoTable* PackageLoader::Info() const {
    return FGetInfo != nullptr ? FGetInfo() : nullptr;
}

bool PackageLoader::Load(const QString& fileName, QString& error) {
    Unload();
    FLibrary.setFileName(fileName);
    if (!FLibrary.load()) {
        error = FLibrary.errorString();
        return false;
    }
    const auto initialize = reinterpret_cast<TInitializeProc>(FLibrary.resolve("Initialize"));
    FFinalize = reinterpret_cast<TFinalizeProc>(FLibrary.resolve("Finalize"));
    FGetInfo = reinterpret_cast<TGetPackageInfoTableProc>(FLibrary.resolve("GetPackageInfoTable"));
    const auto registerProc = reinterpret_cast<TRegisterProc>(FLibrary.resolve("Register"));
    if (initialize == nullptr || FFinalize == nullptr || FGetInfo == nullptr ||
        registerProc == nullptr) {
        error = QStringLiteral("%1 is not a package: an entry point is missing.").arg(fileName);
        FFinalize = nullptr;
        FGetInfo = nullptr;
        FLibrary.unload();
        return false;
    }
    if (!RunGuarded([&] { initialize(&FHost); }, &error) || !RunGuarded(registerProc, &error)) {
        Unload();
        return false;
    }
    return true;
}

void PackageLoader::Unload() {
    if (!FLibrary.isLoaded())
        return;
    // The expert's destructor saves and removes its menu; it reports its own errors.
    FExpert.reset();
    // Objects the package scheduled for deletion must go while its code is still mapped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (FFinalize != nullptr) {
        QString error;
        if (!RunGuarded(FFinalize, &error))
            ui::ShowErrorBox(error);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FFinalize = nullptr;
    FGetInfo = nullptr;
    FLibrary.unload();
}
