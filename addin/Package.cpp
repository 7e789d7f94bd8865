// The package unit, compiled into each package.
#include "Package.h"

#include "Favorite.h"
#include "Modal.h"

#include <iterator>

namespace {

void Nothing() {}

const TPackageUnitEntry Units[] = {
    {"FavConsts", Nothing, Nothing}, {"FavUtils", Nothing, Nothing},
    {"About", Nothing, Nothing},     {"AddToFav", Nothing, Nothing},
    {"EditFav", Nothing, Nothing},   {"Favorite", FavoriteInitialization, FavoriteFinalization},
};
constexpr int UnitCount = static_cast<int>(std::size(Units));

const TPackageInfoTable InfoTable = {UnitCount, Units, "Quarvel\u00ae Pindrake Add-In"};

// Units whose initialisation has run, so a failed Initialize finalises only those.
int InitializedUnits = 0;
bool ModalInstalled = false;

} // namespace

void Initialize(const TPackageHost* host) {
    BindPackageHost(host);
    if (host != nullptr && host->modal != nullptr) {
        ui::SetModal(host->modal);
        ModalInstalled = true;
    }
    for (; InitializedUnits < UnitCount; ++InitializedUnits)
        Units[InitializedUnits].init();
}

void Finalize() {
    for (; InitializedUnits > 0; --InitializedUnits)
        Units[InitializedUnits - 1].fini();
    if (ModalInstalled) {
        ui::SetModal(nullptr);
        ModalInstalled = false;
    }
    BindPackageHost(nullptr);
}

const TPackageInfoTable* GetPackageInfoTable() {
    return &InfoTable;
}

void Register() {
    RegisterLibraryExpert(new TFavoriteExpert());
}
