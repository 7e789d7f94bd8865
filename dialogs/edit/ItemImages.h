// The pictures of the Edit dialog's item grid, and what its item column shows for a record.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace ui {
class TImageList;
}

// Roles of the images in the item grid's image list; the picture of type code t is at t + 1.
enum TItemImage : int {
    iiMarker = 0,  // the current row's marker, a small dark-red triangle pointing right
    iiProject = 1, // type codes 0 to 5 follow
    iiPackage = 2,
    iiUnit = 3,
    iiFile = 4,
    iiFolder = 5,
    iiGroup = 6,
    iiMissing = 7, // the blue cross over a favorite whose file or folder does not exist
    ItemImageCount = 8,
};

// Adds the eight 16 x 16 pictures, with transparency, to images in the order above.
void AddItemImages(ui::TImageList& images);

// What the item column shows for one record; the drawing and what a screen reader is told both
// come from here.
struct TItemShown {
    bool blank = true;  // the empty row of an empty group: nothing but the window colour
    int type = 0;       // 0 to 5
    int image = iiFile; // the kind's picture
    std::string path;   // bytes as stored
    QString kind;       // the kind word: "Project" ... "Folder", "Group"
};

// Reads a record as the item column shows it. A type code outside 0 to 5 is shown as an other
// file, as Edit... treats it.
TItemShown ItemShown(std::string_view record);
// Whether the item's target exists (a group always does): false shows it greyed, crossed out,
// in grey text, and says "missing". Tested on every call, as the grid keeps no cache: a
// deleted file reads as missing at once.
bool ItemExists(const TItemShown& shown);

// What a screen reader says of the item column: the kind word and the whole path, readable;
// the description says whether the target is missing.
QString ItemAccessibleText(const TItemShown& shown);
QString ItemAccessibleDescription(const TItemShown& shown);
