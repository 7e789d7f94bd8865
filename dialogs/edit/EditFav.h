// Unit EditFav: the Edit Favorites dialog.
#pragma once

#include "AddToFav.h"

class TFavoriteItems;

// Shows the Edit Favorites dialog on a copy of items. On OK the copy, with the aliases typed in
// the grid, replaces the content of items (records and LastID) and the result is true; any
// other close leaves items untouched and gives false. Nothing is saved here. host is what the
// dialog's Add... offers as the current project and file.
bool EditFavorites(TFavoriteItems& items, const THostFiles& host = {});
