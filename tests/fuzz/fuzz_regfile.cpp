// Arbitrary bytes into the .reg parser: it may refuse them with ERegistryException, nothing
// else, and reads them the same when they come a few bytes at a time. What it accepts must
// survive a write and a re-read in both formats.
#include "Exception.h"
#include "RegFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>

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

// The document, or the refusal's message.
std::pair<TRegDocument, std::string> Read(std::span<const std::uint8_t> bytes) {
    std::pair<TRegDocument, std::string> result;
    try {
        result.first = ParseRegFile(bytes);
    } catch (const ERegistryException& e) {
        result.second = e.Message();
    }
    return result;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto [doc, refusal] = Read(bytes);
    // Read a few bytes at a time, the file reads the same.
    regfile_testing::ReadInPiecesOf(size > 0 ? 1 + data[size - 1] % 7 : 1);
    const auto pieces = Read(bytes);
    regfile_testing::ReadInPiecesOf(0);
    if (!(pieces.first == doc) || pieces.first.Format != doc.Format || pieces.second != refusal)
        std::abort();
    if (!refusal.empty())
        return 0;
    CheckRoundTrip(doc, TRegFormat::Version5);
    if (Writable8Bit(doc))
        CheckRoundTrip(doc, TRegFormat::Regedit4);
    return 0;
}
