// Loads an add-in package into the shell and unloads it again in the host's order.
#pragma once

#include "HostInterface.h"
#include "Package.h"

#include <QLibrary>
#include <QString>

#include <memory>

class PackageLoader {
public:
    // The package is bound to these services and this seam while it is loaded.
    PackageLoader(TIToolServices& services, ui::ModalInteraction* modal);
    ~PackageLoader();
    PackageLoader(const PackageLoader&) = delete;
    PackageLoader& operator=(const PackageLoader&) = delete;

    // Loads the library, runs Initialize and Register. On failure everything done so far is
    // undone and the reason is returned in error.
    bool Load(const QString& fileName, QString& error);
    // Destroys the expert, calls Finalize and unloads the library; nothing when not loaded.
    void Unload();

    bool IsLoaded() const { return FLibrary.isLoaded(); }
    TIExpert* Expert() const { return FExpert.get(); }
    const TPackageInfoTable* Info() const;

private:
    static void RegisterExpert(void* context, TIExpert* expert);

    QLibrary FLibrary;
    TPackageHost FHost;
    std::unique_ptr<TIExpert> FExpert;
    TFinalizeProc FFinalize = nullptr;
    TGetPackageInfoTableProc FGetInfo = nullptr;
};
