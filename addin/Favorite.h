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
class RegistryWatcher;
} // namespace ui

// The add-in's one expert: loads the favorites, puts the Favorites menu in front of the
// host's Search menu, saves every confirmed change, and follows the stored favorites when
// another IDE or the favorites tool changes them.
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

    // What the watcher of the stored favorites calls: reloads them and rebuilds the menu, or
    // once the running command has finished (a dialog may be open).
    void StoredValueChanged();

    TFavoriteItems& FavoriteItems() noexcept { return *FFavoriteItems; }
    TIMenuItemIntf* FavoriteMenu() noexcept { return FFavoriteMenu.get(); }
    ui::RegistryWatcher* Watcher() noexcept { return FWatcher.get(); }

private:
    TIMenuClickEvent Handler(void (TFavoriteExpert::*method)(TIMenuItemIntf&));
    // Saves the favorites (with onlyUnsaved, only when they differ from the stored value they
    // were loaded from or last saved as); a failure is shown in an error box.
    void SaveFavorites(bool onlyUnsaved) noexcept;
    // After the user confirmed a change of the collection: saves it and rebuilds the menu.
    void ChangeConfirmed();
    // Takes in what another writer stored; true when the collection changed. Never shows a
    // message: a value that cannot be read now is left to the next save.
    bool FollowStored() noexcept;
    void RebuildMenu() noexcept;
    // Marks a command as running for its lifetime; at the end of the outermost one, what
    // waited for it runs from the event loop, after the menu's click has returned.
    struct TCommandScope {
        explicit TCommandScope(TFavoriteExpert& expert);
        ~TCommandScope();
        TFavoriteExpert& Expert;
    };
    void RunWaitingFollow();
    void RemoveFavoriteMenu() noexcept;

    std::unique_ptr<TIMenuItemIntf> FFavoriteMenu;
    std::unique_ptr<TFavoriteItems> FFavoriteItems;
    // Ids of the groups whose sub-menus AddMenuItem is filling, outermost first.
    std::vector<std::int32_t> FMenuGroups;
    std::unique_ptr<ui::RegistryWatcher> FWatcher;
    int FCommands = 0;            // commands running (nested through modal dialogs)
    bool FFollowWaiting = false;  // the stored value changed while a command ran
    bool FRebuildWaiting = false; // the collection was reloaded while a command ran
};

// The open-file dialog used to pick a file inside a folder favorite; exists between the
// unit's initialisation and finalisation.
extern ui::OpenDialogState* FavOpenDialog;

// Unit initialisation: creates FavOpenDialog and shows the About box once.
void FavoriteInitialization();
// Unit finalisation: frees FavOpenDialog.
void FavoriteFinalization();
