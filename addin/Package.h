// The package's entry points, as the host resolves them by name, and the unit table that
// GetPackageInfoTable returns.
#pragma once

#include "HostInterface.h"

// One unit of the package with its initialisation and finalisation.
struct TPackageUnitEntry {
    const char* name;
    void (*init)();
    void (*fini)();
};

struct TPackageInfoTable {
    int unitCount;
    const TPackageUnitEntry* units;
    const char* description;
};

#if !defined(QUENDLE_BUILDING_PACKAGE)
#define QUENDLE_PACKAGE_EXPORT extern "C"
#elif defined(_WIN32)
#define QUENDLE_PACKAGE_EXPORT extern "C" __declspec(dllexport)
#else
#define QUENDLE_PACKAGE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Binds the host and runs the units' initialisations in order.
QUENDLE_PACKAGE_EXPORT void Initialize(const TPackageHost* host);
// Runs the finalisations in reverse order and unbinds the host.
QUENDLE_PACKAGE_EXPORT void Finalize();
// The package's units and description.
QUENDLE_PACKAGE_EXPORT const TPackageInfoTable* GetPackageInfoTable();
// Creates the expert and hands it to the host.
QUENDLE_PACKAGE_EXPORT void Register();

// Signatures of the entry points, for the host.
using TInitializeProc = void (*)(const TPackageHost*);
using TFinalizeProc = void (*)();
using TGetPackageInfoTableProc = const TPackageInfoTable* (*)();
using TRegisterProc = void (*)();
