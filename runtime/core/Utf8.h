// UTF-8 encoding and decoding of single code points, and of 8-bit text that may or may not
// be UTF-8 (records written on Windows hold 8-bit text).
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
// The bytes as UTF-8: kept where they form UTF-8, every other byte taken as Latin-1.
std::string Utf8FromBytes(std::string_view bytes);
