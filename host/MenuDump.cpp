#include "MenuDump.h"

namespace {

void DumpEntries(TIMenuItemIntf& menu, int level, std::string& out) {
    const int count = menu.MenuGetItemCount();
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<TIMenuItemIntf> entry = menu.MenuGetItem(i);
        if (!entry)
            continue;
        out.append(static_cast<size_t>(level) * 2, ' ');
        out += entry->MenuGetName();
        out += '\t';
        out += entry->MenuGetCaption();
        out += '\n';
        DumpEntries(*entry, level + 1, out);
    }
}

} // namespace

std::string DumpMenuBar(TIMainMenuIntf& mainMenu) {
    std::string out;
    if (const std::unique_ptr<TIMenuItemIntf> bar = mainMenu.MainMenuGetItems())
        DumpEntries(*bar, 0, out);
    return out;
}
