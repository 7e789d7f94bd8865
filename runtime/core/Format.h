// The runtime's formatting function, for the "%s" placeholders of the string table.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Replaces each "%s" of fmt with the next argument ("%%" gives "%"); a missing argument
// leaves its "%s" empty, surplus arguments are ignored.
std::string Format(std::string_view fmt, std::initializer_list<std::string_view> args);
