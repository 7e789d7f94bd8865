// The pictures of the Edit dialog's item grid.
#pragma once

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
