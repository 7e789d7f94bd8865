// Unit About: the About box.
#pragma once

#include <string_view>

inline constexpr std::string_view SErrorOpenSysInfo = "Could not execute system information!";
inline constexpr std::string_view SCopyrightInfo =
    "This product is protected by copyright law and international agreements. Copying or "
    "distributing it, in whole or in part, without the written permission of its owner is "
    "forbidden and will be punished under civil and criminal law to the full extent the law "
    "allows.";

// Shows a fresh About box modally and frees it when it is closed.
void ShowAboutBox();
