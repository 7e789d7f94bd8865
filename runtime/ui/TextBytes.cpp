#include "TextBytes.h"

#include "Utf8.h"

namespace ui {

namespace {

constexpr char16_t KeptByteBase = 0xDC00;

bool IsKeptByte(char16_t unit) {
    return unit >= KeptByteBase + 0x80 && unit <= KeptByteBase + 0xFF;
}

} // namespace

QString QStringFromBytes(std::string_view bytes) {
    // Written unit by unit into a buffer of the largest size needed (one unit per byte at
    // most), not a string per character: grids fill thousands of cells through here.
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype length = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out[length++] = byte;
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t len = DecodeUtf8(bytes, i, false, cp);
        if (len == 0) {
            out[length++] = static_cast<char16_t>(KeptByteBase + byte);
            ++i;
        } else if (QChar::requiresSurrogates(cp)) {
            out[length++] = QChar::highSurrogate(cp);
            out[length++] = QChar::lowSurrogate(cp);
            i += len;
        } else {
            out[length++] = static_cast<char16_t>(cp);
            i += len;
        }
    }
    text.truncate(length);
    return text;
}

std::string BytesFromQString(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, text.at(i + 1).unicode()));
            ++i;
        } else if (IsKeptByte(unit)) {
            bytes.push_back(static_cast<char>(unit - KeptByteBase));
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(bytes, QChar::ReplacementCharacter);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

QString ReadableText(const QString& text) {
    // Windows-1252 0x80..0x9F; the five undefined bytes stay as the replacement character.
    static const char16_t High[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString readable = text;
    for (QChar& c : readable) {
        if (!IsKeptByte(c.unicode()))
            continue;
        const char16_t byte = c.unicode() - KeptByteBase;
        c = QChar(byte < 0xA0 ? High[byte - 0x80] : byte);
    }
    return readable;
}

} // namespace ui
