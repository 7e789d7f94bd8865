// Unit AddToFav: the Add To Favorites dialog and the add request it makes.
#pragma once

#include "StringList.h"

#include <memory>
#include <string>

// The IDE's current project and the file of its active editor as the host reports them
// (empty: none). The expert asks the host; the dialog only reads them.
struct THostFiles {
    std::string ProjectName;
    std::string CurrentFile;
};

// Shows the Add To Favorites dialog and returns the add request the user made (type code,
// alias, then the path or the group's files), or nullptr when the dialog was not closed
// with OK. An error searching a group's folder leaves after the dialog is gone.
std::unique_ptr<TStringList> AddToFavorites(const THostFiles& host);

// Replaces files with the full paths of the plain files directly inside folder that match
// the masks of groupKind (0 all kinds, 1 projects, 2 libraries, 3 units), mask by mask in
// directory order. Hidden, system and directory entries are skipped. A folder of separators
// only is the root; an empty folder raises "Path is not assigned".
void GetFolderFiles(const std::string& folder, int groupKind, TStringList& files);
// Sorts ascending by the user's locale, ignoring letter case; equal names keep their order.
void SortFileNames(TStringList& files);
