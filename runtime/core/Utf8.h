// UTF-8 encoding and decoding of single code points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Appends code point cp as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp);
// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when the bytes there do not
// form one. Encoded surrogates are accepted only when `surrogates` is set: text from UTF-16
// keeps its unpaired surrogates that way, while 8-bit files never produce them.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, bool surrogates, std::uint32_t& cp);
