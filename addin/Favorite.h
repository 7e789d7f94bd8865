// Unit Favorite: the expert that owns the favorites and the Favorites menu, and opens the
// favorite the user chooses.
#pragma once

#include "FavUtils.h"
#include "HostInterface.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {
struct OpenDialogState;
}

// The add-in's one expert: loads the favorites, puts the Favorites menu in front of the
// host's Search menu, and saves the favorites when the host destroys it.
class TFavoriteExpert : public TIExpert {
public:
    // Loads the favorites and builds the menu. Raises Exception when the stored favorites
    // cannot be read (nothing is then inserted or saved) or the host's menu fails.
    TFavoriteExpert();
    // Removes the variable entries, saves the favorites if a change is still unsaved (merged
    // with what another writer stored meanwhile), removes the menu. Never throws; a failed
    // save, or a backup that could not be written, is shown in an error box.
    ~TFavoriteExpert() override;

    std::string GetName() override;
    std::string GetAuthor() override;
    std::string GetComment() override;
    std::string GetPage() override;
    int GetGlyph() override;
    int GetStyle() override;
    int GetState() override;
    std::string GetIDString() override;
    std::string GetMenuText() override;
    void Execute() override;

    // Builds the favorites below the three fixed entries.
    void CreateFavoriteMenu();
    // Inserts the entries for the children of the group `record` into menu from position on.
    void AddMenuItem(TIMenuItemIntf& menu, int position, const std::string& record);
    // Removes everything below the three fixed entries.
    void DestroyFavoriteMenu();

    // Opens the favorite behind a FavItem entry.
    void FavoriteItemClick(TIMenuItemIntf& item);
    void AboutFavoriteClick(TIMenuItemIntf& item);
    void AddFavoriteClick(TIMenuItemIntf& item);
    void EditFavoriteClick(TIMenuItemIntf& item);
    // Adds the favorite or group of an add request at the top level, saves, rebuilds the menu.
    void AddFavorites(TStringList& request);

    TFavoriteItems& FavoriteItems() noexcept { return *FFavoriteItems; }
    TIMenuItemIntf* FavoriteMenu() noexcept { return FFavoriteMenu.get(); }

private:
    TIMenuClickEvent Handler(void (TFavoriteExpert::*method)(TIMenuItemIntf&));
    // Saves the favorites (with onlyUnsaved, only when they differ from the stored value they
    // were loaded from or last saved as); a failure is shown in an error box.
    void SaveFavorites(bool onlyUnsaved) noexcept;
    // After the user confirmed a change of the collection: saves it and rebuilds the menu.
    void ChangeConfirmed();
    void RemoveFavoriteMenu() noexcept;

    std::unique_ptr<TIMenuItemIntf> FFavoriteMenu;
    std::unique_ptr<TFavoriteItems> FFavoriteItems;
    // Ids of the groups whose sub-menus AddMenuItem is filling, outermost first.
    std::vector<std::int32_t> FMenuGroups;
};

// The open-file dialog used to pick a file inside a folder favorite; exists between the
// unit's initialisation and finalisation.
extern ui::OpenDialogState* FavOpenDialog;

// Unit initialisation: creates FavOpenDialog and shows the About box once.
void FavoriteInitialization();
// Unit finalisation: frees FavOpenDialog.
void FavoriteFinalization();
