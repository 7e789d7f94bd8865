// Texts of the component runtime are byte strings: UTF-8 when made here, ANSI (Windows-1252)
// when written on Windows. These conversions keep every byte, whatever the encoding.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace ui {

// UTF-8 where the bytes form it; any other byte b becomes the lone surrogate U+DC00 + b.
QString QStringFromBytes(std::string_view bytes);
// The inverse of QStringFromBytes: BytesFromQString(QStringFromBytes(b)) == b for any b.
std::string BytesFromQString(const QString& text);
// The text as a person should read it: kept bytes shown as their Windows-1252 characters.
QString ReadableText(const QString& text);

} // namespace ui
