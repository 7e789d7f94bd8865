// Unit EditFav: the Edit Favorites dialog.
#pragma once

class TFavoriteItems;

// Shows the Edit Favorites dialog on a copy of items. On OK the copy, with the aliases typed in
// the grid, replaces the content of items (records and LastID) and the result is true; any
// other close leaves items untouched and gives false. Nothing is saved here.
bool EditFavorites(TFavoriteItems& items);
