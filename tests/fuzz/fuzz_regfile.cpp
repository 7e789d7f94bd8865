// Arbitrary bytes into the .reg parser: it may refuse them with ERegistryException, nothing
// else. What it accepts must survive a write and a re-read in both formats.
#include "Exception.h"
#include "RegFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {
// Text with unpaired UTF-16 surrogates has no 8-bit spelling that reads back the same.
bool HasEncodedSurrogate(const std::string& s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) == 0xED &&
            static_cast<unsigned char>(s[i + 1]) >= 0xA0)
            return true;
    return false;
}

bool Writable8Bit(const TRegDocument& doc) {
    for (const TRegKey& key : doc.Keys) {
        if (HasEncodedSurrogate(key.Name))
            return false;
        for (const TRegValue& value : key.Values)
            if (HasEncodedSurrogate(value.Name) || HasEncodedSurrogate(value.Text))
                return false;
    }
    return true;
}

void CheckRoundTrip(const TRegDocument& doc, TRegFormat format) {
    const std::vector<std::uint8_t> bytes = WriteRegFile(doc, format);
    const TRegDocument again = ParseRegFile(bytes);
    if (!(again == doc) || again.Format != format)
        std::abort();
    if (WriteRegFile(again, format) != bytes)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TRegDocument doc;
    try {
        doc = ParseRegFile(std::span<const std::uint8_t>(data, size));
    } catch (const ERegistryException&) {
        return 0;
    }
    CheckRoundTrip(doc, TRegFormat::Version5);
    if (Writable8Bit(doc))
        CheckRoundTrip(doc, TRegFormat::Regedit4);
    return 0;
}
