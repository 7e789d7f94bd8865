// The menu bar as text, for --dump-menu and the tests.
#pragma once

#include "HostInterface.h"

#include <string>

// One line per entry, two spaces of indentation per level (top-level menus at level 0):
// name, a tab, caption ("-" for a separator).
std::string DumpMenuBar(TIMainMenuIntf& mainMenu);
