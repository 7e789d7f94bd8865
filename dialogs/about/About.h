// Unit About: the About box.
#pragma once

#include <string_view>

inline constexpr std::string_view SErrorOpenSysInfo = "Could not execute system information!";

// Shows a fresh About box modally and frees it when it is closed.
void ShowAboutBox();
