#include "Favorite.h"

#include "About.h"
#include "AddToFav.h"
#include "EditFav.h"
#include "Exception.h"
#include "FavConsts.h"
#include "Format.h"
#include "Modal.h"
#include "Paths.h"
#include "RegistryWatcher.h"

#include <QString>
#include <QTimer>

#include <algorithm>
#include <utility>

ui::OpenDialogState* FavOpenDialog = nullptr;

namespace {

std::unique_ptr<ui::OpenDialogState> OpenDialogStorage;

const std::string SeparatorCaption = "-";
const std::string FirstSeparatorName = "Sep_0";
constexpr int FixedEntryCount = 3;

std::string Str(std::string_view s) {
    return std::string(s);
}

TIToolServices& Host() {
    if (ToolServices == nullptr)
        throw Exception("The Favorites add-in is not bound to a host");
    return *ToolServices;
}

// Where the favorites are stored, for the messages about loading and saving them.
std::string StoredValueName(const TFavoriteItems& items) {
    return items.RegistryKeyName() + "\\" + Str(sFavIdent);
}

void ShowError(const std::string& text) {
    ui::ShowErrorBox(QString::fromStdString(text));
}

// "&0 " ... "&9 ", "&A " ... "&Z ", then nothing.
std::string AcceleratorPrefix(int count) {
    if (count < 10)
        return std::string{'&', static_cast<char>('0' + count), ' '};
    if (count < 36)
        return std::string{'&', static_cast<char>('A' + count - 10), ' '};
    return {};
}

} // namespace

TFavoriteExpert::TFavoriteExpert() : FFavoriteItems(std::make_unique<TFavoriteItems>()) {
    try {
        FFavoriteItems->LoadFromReg();
    } catch (const std::exception& e) {
        // Nothing is inserted and no expert exists, so the unreadable value is never
        // overwritten by a save at unload.
        throw Exception("Cannot load the favorites from " + StoredValueName(*FFavoriteItems) +
                        ": " + e.what() + ". " + Str(sRepairHint));
    }

    try {
        // Declared in this order so they are freed Search menu, menu bar, main menu.
        const std::unique_ptr<TIMainMenuIntf> mainMenu = Host().HostGetMainMenu();
        if (!mainMenu)
            throw Exception("The host has no main menu");
        const std::unique_ptr<TIMenuItemIntf> menuBar = mainMenu->MainMenuGetItems();
        if (!menuBar)
            throw Exception("The host's main menu has no menu bar");
        const std::unique_ptr<TIMenuItemIntf> searchMenu =
            mainMenu->MainMenuFindItem(Str(sAddBeforeMenu));
        // Without a Search menu the Favorites menu goes to the end of the menu bar.
        const int index = searchMenu ? searchMenu->MenuGetIndex() : menuBar->MenuGetItemCount();

        FFavoriteMenu = menuBar->MenuInsertItem(index, Str(sFavMenuCaption), Str(sFavMenu), "", 0,
                                                0, 0, DefaultMenuFlags, nullptr);
        if (!FFavoriteMenu)
            throw Exception("The host did not insert the Favorites menu");
        FFavoriteMenu->MenuInsertItem(0, Str(sAboutFavItemCaption), Str(sAboutFavItem), "", 0, 0, 0,
                                      DefaultMenuFlags,
                                      Handler(&TFavoriteExpert::AboutFavoriteClick));
        FFavoriteMenu->MenuInsertItem(1, Str(sEditFavItemCaption), Str(sEditFavItem), "", 0, 0, 0,
                                      DefaultMenuFlags,
                                      Handler(&TFavoriteExpert::EditFavoriteClick));
        FFavoriteMenu->MenuInsertItem(2, Str(sAddFavItemCaption), Str(sAddFavItem), "", 0, 0, 0,
                                      DefaultMenuFlags,
                                      Handler(&TFavoriteExpert::AddFavoriteClick));
        CreateFavoriteMenu();
        FWatcher = std::make_unique<ui::RegistryWatcher>(FFavoriteItems->GetSection());
        FWatcher->SetOnChanged([this] { StoredValueChanged(); });
    } catch (...) {
        // The destructor does not run for a failed constructor: take the menu out again.
        // Nothing was changed, so nothing is saved.
        FWatcher.reset();
        RemoveFavoriteMenu();
        throw;
    }
}

TFavoriteExpert::~TFavoriteExpert() {
    FWatcher.reset(); // also drops a follow that waits in the event loop
    try {
        DestroyFavoriteMenu();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
    }
    // Every confirmed change was saved when it was made: this writes only what is not stored
    // yet (a change whose save failed).
    SaveFavorites(true);
    FFavoriteItems.reset();
    RemoveFavoriteMenu();
}

void TFavoriteExpert::SaveFavorites(bool onlyUnsaved) noexcept {
    try {
        try {
            if (onlyUnsaved && !FFavoriteItems->Unsaved())
                return;
            const TSaveReport report = FFavoriteItems->SaveToReg();
            if (!report.BackupError.empty())
                ShowError("The favorites were saved, but the value they replaced could not be "
                          "kept as a backup: " +
                          report.BackupError);
        } catch (const std::exception& e) {
            ShowError("Cannot save the favorites to " + StoredValueName(*FFavoriteItems) + ": " +
                      e.what());
        }
    } catch (...) {
        // The teardown goes on whatever the error box does.
    }
}

void TFavoriteExpert::RemoveFavoriteMenu() noexcept {
    if (!FFavoriteMenu)
        return;
    try {
        FFavoriteMenu->MenuDestroyItem();
    } catch (...) {
    }
    FFavoriteMenu.reset();
}

TIMenuClickEvent TFavoriteExpert::Handler(void (TFavoriteExpert::*method)(TIMenuItemIntf&)) {
    return [this, method](TIMenuItemIntf& item) { (this->*method)(item); };
}

std::string TFavoriteExpert::GetName() {
    return Str(sExpertName);
}
std::string TFavoriteExpert::GetAuthor() {
    return Str(sExpertAuthor);
}
std::string TFavoriteExpert::GetComment() {
    return Str(sExpertDesc);
}
std::string TFavoriteExpert::GetPage() {
    return {};
}
int TFavoriteExpert::GetGlyph() {
    return 0;
}
int TFavoriteExpert::GetStyle() {
    return esAddIn;
}
int TFavoriteExpert::GetState() {
    return esEnabled;
}
std::string TFavoriteExpert::GetIDString() {
    return Str(sExpertName);
}
std::string TFavoriteExpert::GetMenuText() {
    return {};
}
void TFavoriteExpert::Execute() {}

void TFavoriteExpert::CreateFavoriteMenu() {
    if (FFavoriteItems->Items().Empty())
        return;
    FFavoriteMenu->MenuInsertItem(FixedEntryCount, SeparatorCaption, FirstSeparatorName, "", 0, 0,
                                  0, DefaultMenuFlags, nullptr);
    AddMenuItem(*FFavoriteMenu, FixedEntryCount + 1, Str(RootRecord));
}

void TFavoriteExpert::AddMenuItem(TIMenuItemIntf& menu, int position, const std::string& record) {
    // A damaged collection can hold a group inside itself (repeated ids); its sub-menu is then
    // filled once, not until the stack runs out.
    const std::int32_t groupId = GetIntPart(record, 3, '|');
    if (std::ranges::find(FMenuGroups, groupId) != FMenuGroups.end())
        return;
    FMenuGroups.push_back(groupId);
    struct Leave {
        std::vector<std::int32_t>& groups;
        ~Leave() { groups.pop_back(); }
    } leave{FMenuGroups};

    FFavoriteItems->Items().Sort();
    // A copy: the collection refills its result list on the recursive calls below.
    const TStringList subItems(FFavoriteItems->GetSubItems(groupId));
    // Read-only access, so the look-ups below keep the list's sorted state.
    const TStringList& records = std::as_const(*FFavoriteItems).Items();

    int count = 0;
    int previousType = 0;
    bool first = true;
    for (const std::string& r : subItems) {
        const std::string id = std::to_string(GetIntPart(r, 3, '|'));
        const int itemType = GetIntPart(r, 2, '|');
        if (!first && !SameKindClass(itemType, previousType)) {
            menu.MenuInsertItem(position, SeparatorCaption, Str(sFavSep) + "_" + id, "", 0, 0, 0,
                                DefaultMenuFlags, Handler(&TFavoriteExpert::FavoriteItemClick));
            ++position;
        }

        std::string caption = AcceleratorPrefix(count);
        if (count < 36)
            ++count;
        caption += ItemCaption(r);
        if (itemType == fitFolder)
            caption += "...";

        const int index = records.IndexOf(r);
        const std::unique_ptr<TIMenuItemIntf> entry = menu.MenuInsertItem(
            position, caption, Str(sFavItem) + "_" + std::to_string(index) + "_" + id, "", 0, 0, 0,
            DefaultMenuFlags, Handler(&TFavoriteExpert::FavoriteItemClick));
        if (itemType == fitGroup && entry)
            AddMenuItem(*entry, 0, r);

        previousType = itemType;
        first = false;
        ++position;
    }
}

void TFavoriteExpert::DestroyFavoriteMenu() {
    if (!FFavoriteMenu)
        return;
    while (FFavoriteMenu->MenuGetItemCount() > FixedEntryCount) {
        const std::unique_ptr<TIMenuItemIntf> last =
            FFavoriteMenu->MenuGetItem(FFavoriteMenu->MenuGetItemCount() - 1);
        if (!last || !last->MenuDestroyItem())
            throw Exception("Cannot remove an entry of the Favorites menu");
    }
}

void TFavoriteExpert::FavoriteItemClick(TIMenuItemIntf& item) {
    const TCommandScope command(*this);
    // The entry may be older than the stored favorites: open what is stored now.
    if (FollowStored())
        FRebuildWaiting = true;
    const std::string name = item.MenuGetName();
    const int index = GetIntPart(name, 1, '_');
    const int id = GetIntPart(name, 2, '_');

    const TStringList& records = std::as_const(*FFavoriteItems).Items();
    std::string record;
    // An index outside the list (a stale entry) is resolved by the id like any other.
    if (index >= 0 && index < records.Count() && GetIntPart(records[index], 3, '|') == id) {
        record = records[index];
    } else if (const std::string* found = std::as_const(*FFavoriteItems).FindItem(id)) {
        record = *found;
    } else {
        return;
    }

    const int itemType = GetIntPart(record, 2, '|');
    if (itemType == fitGroup)
        return;
    const std::string path = GetPart(record, 4, '|');
    const bool isFile = itemType >= fitProject && itemType <= fitFile;

    if (isFile && !FileExists(path)) {
        ShowError(Format(sItemNotExists, {KindWord(itemType), path}));
        return;
    }
    if (itemType == fitFolder && !FolderExists(path)) {
        ShowError(Format(sItemNotExists, {KindWord(fitFolder), path}));
        return;
    }
    if (isFile && Host().HostIsFileOpen(path)) {
        ShowError(Format(sFileIsOpen, {KindWord(itemType), path}));
        return;
    }

    switch (itemType) {
    case fitProject:
        if (SameText(ExtractFileExt(path), ".BPG"))
            Host().HostOpenFile(path);
        else
            Host().HostOpenProject(path);
        break;
    case fitPackage:
    case fitUnit:
    case fitFile:
        Host().HostOpenFile(path);
        break;
    case fitFolder: {
        if (FavOpenDialog == nullptr)
            throw Exception("The Favorite unit is not initialised");
        // The filter index stays as the user left it last time.
        FavOpenDialog->initialDir = QString::fromStdString(path);
        FavOpenDialog->fileName.clear();
        if (!ui::Modal().OpenFile(nullptr, *FavOpenDialog))
            return;
        const std::string chosen = FavOpenDialog->fileName.toStdString();
        if (SameText(ExtractFileExt(chosen), ".DPR"))
            Host().HostOpenProject(chosen);
        else
            Host().HostOpenFile(chosen);
        break;
    }
    default:
        break;
    }
}

void TFavoriteExpert::AboutFavoriteClick(TIMenuItemIntf&) {
    const TCommandScope command(*this);
    ShowAboutBox();
}

void TFavoriteExpert::AddFavoriteClick(TIMenuItemIntf&) {
    const TCommandScope command(*this);
    const std::unique_ptr<TStringList> request =
        AddToFavorites({Host().HostGetProjectName(), Host().HostGetCurrentFile()});
    if (request)
        AddFavorites(*request);
}

void TFavoriteExpert::AddFavorites(TStringList& request) {
    int parentId = 0;
    FFavoriteItems->AddItems(parentId, &request);
    ChangeConfirmed();
}

void TFavoriteExpert::EditFavoriteClick(TIMenuItemIntf&) {
    const TCommandScope command(*this);
    // The dialog edits a copy of the favorites as they are stored now.
    if (FollowStored())
        FRebuildWaiting = true;
    if (!EditFavorites(*FFavoriteItems, {Host().HostGetProjectName(), Host().HostGetCurrentFile()}))
        return;
    ChangeConfirmed();
}

void TFavoriteExpert::ChangeConfirmed() {
    // Saved at once, so that a crash of the IDE loses nothing; the save may merge in what
    // another writer stored, which the rebuilt menu then shows too.
    SaveFavorites(false);
    DestroyFavoriteMenu();
    CreateFavoriteMenu();
    FRebuildWaiting = false;
}

void TFavoriteExpert::StoredValueChanged() {
    if (FCommands > 0) {
        FFollowWaiting = true;
        return;
    }
    if (FollowStored())
        RebuildMenu();
}

bool TFavoriteExpert::FollowStored() noexcept {
    try {
        return FFavoriteItems->FollowStoredValue() == TFavoriteItems::TFollow::Reloaded;
    } catch (...) {
        return false;
    }
}

void TFavoriteExpert::RebuildMenu() noexcept {
    try {
        try {
            DestroyFavoriteMenu();
            CreateFavoriteMenu();
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    } catch (...) {
    }
}

TFavoriteExpert::TCommandScope::TCommandScope(TFavoriteExpert& expert) : Expert(expert) {
    ++Expert.FCommands;
}

TFavoriteExpert::TCommandScope::~TCommandScope() {
    if (--Expert.FCommands > 0 || !(Expert.FFollowWaiting || Expert.FRebuildWaiting) ||
        !Expert.FWatcher)
        return;
    // Not now: the menu entry whose click is returning may be among those rebuilt.
    TFavoriteExpert* expert = &Expert;
    QTimer::singleShot(0, Expert.FWatcher.get(), [expert] { expert->RunWaitingFollow(); });
}

void TFavoriteExpert::RunWaitingFollow() {
    if (FCommands > 0)
        return; // the end of that command schedules it again
    const bool follow = std::exchange(FFollowWaiting, false);
    const bool reloaded = std::exchange(FRebuildWaiting, false);
    if ((follow && FollowStored()) || reloaded)
        RebuildMenu();
}

void FavoriteInitialization() {
    OpenDialogStorage = std::make_unique<ui::OpenDialogState>();
    FavOpenDialog = OpenDialogStorage.get();
    FavOpenDialog->filter = QString::fromLatin1(sOpenDialogFilter.data(), sOpenDialogFilter.size());
    FavOpenDialog->filterIndex = 1;
    FavOpenDialog->options = ui::OpenDialogOptions{};
    FavOpenDialog->options.hideReadOnly = true;
    FavOpenDialog->options.enableSizing = true;
    ShowAboutBox();
}

void FavoriteFinalization() {
    FavOpenDialog = nullptr;
    OpenDialogStorage.reset();
}
