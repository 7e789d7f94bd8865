// Unit FavConsts: every message, prompt, menu caption and menu name of the add-in.
#pragma once

#include <string_view>

inline constexpr std::string_view sFavIdent = "Items";
inline constexpr std::string_view sNoProject = "<None>";
inline constexpr std::string_view sNoFile = "<None>";
inline constexpr std::string_view sAddFolder = "Specify a folder to be added:";
inline constexpr std::string_view sAddFolderContents = "Specify a folder to add contents:";
inline constexpr std::string_view sErrorFileItem = "The requested file does not exists.";
inline constexpr std::string_view sErrorFolderItem =
    "The requested folder isn't accessible. The folder may be located on an unavailable "
    "volume or protected with password";
inline constexpr std::string_view sErrorFileGroup = "File(s) must be selected.";
inline constexpr std::string_view sErrorFolderGroup =
    "The requested folder isn't accessible. The folder may be located on an unavailable "
    "volume or protected with password";
inline constexpr std::string_view sErrorAlias = "Aliase must have a value.";
inline constexpr std::string_view sGridItems = "File, folder or group";
inline constexpr std::string_view sGridAlias = "Alias";
inline constexpr std::string_view sEditFolder = "Choose Folder:";
inline constexpr std::string_view sHasSubItems = "Cann't Delete. Item contains sub items.";
inline constexpr std::string_view sExpertAuthor = "Quarvel";
inline constexpr std::string_view sExpertName = "Favorite";
inline constexpr std::string_view sExpertDesc = "Adds a Favorite menu.";
inline constexpr std::string_view sAddBeforeMenu = "SearchMenu";
inline constexpr std::string_view sFavMenu = "FavoriteMenu";
inline constexpr std::string_view sAboutFavItem = "AboutFavoriteItem";
inline constexpr std::string_view sEditFavItem = "EditFavoriteItem";
inline constexpr std::string_view sAddFavItem = "AddFavoriteItem";
inline constexpr std::string_view sFavItem = "FavItem";
inline constexpr std::string_view sFavSep = "FavSep";
inline constexpr std::string_view sFavMenuCaption = "F&avorites";
inline constexpr std::string_view sAboutFavItemCaption = "&About Quarvel Favorites Add-In...";
inline constexpr std::string_view sEditFavItemCaption = "&Edit Favorites...";
inline constexpr std::string_view sAddFavItemCaption = "A&dd to Favorites...";
inline constexpr std::string_view sItemNotExists = "%s: \"%s\" does not exists.";
inline constexpr std::string_view sFileIsOpen = "%s: \"%s\" is already opened";

// Not a message: the file types of every open dialog of the add-in, label and masks
// separated by '|'.
inline constexpr std::string_view sOpenDialogFilter =
    "Delphi file (*.pas;*.bpg;*.dpr;*.dpk)|*.pas;*.bpg;*.dpr;*.dpk|Delphi project "
    "(*.bpg;*.dpr)|*.bpg;*.dpr|Delphi package (*.dpk)|*.dpk|Delphi unit (*.pas)|*.pas|Any file "
    "(*.*)|*.*";
// The Add To Favorites check that keeps "|", the record's field separator, out of an alias
// or a path.
inline constexpr std::string_view sErrorSeparator =
    "An alias or a path cannot contain the character \"|\".";
