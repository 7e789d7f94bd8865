// Registry persistence, kept apart so that users of the collection alone do not link the
// registry.
#include "FavConsts.h"
#include "FavUtils.h"
#include "Registry.h"

#include <utility>

bool TRegistryStream::LoadFromRegistry(const std::string& keyPath, const std::string& valueName) {
    TRegIniFile reg(keyPath);
    if (reg.GetDataSize(valueName) == 0)
        return false;
    // Read first, so that a failed read leaves the stream as it was.
    std::vector<std::uint8_t> data = reg.ReadBinaryData(valueName);
    if (data.empty())
        return false;
    Bytes() = std::move(data); // a large value is not copied again
    Seek(Position());          // the position stays, within the new size, as SetSize keeps it
    return true;
}

void TRegistryStream::SaveToRegistry(const std::string& keyPath, const std::string& valueName) {
    TRegIniFile reg(keyPath);
    reg.WriteBinaryData(valueName, Memory(), Size());
}

void TFavoriteItems::LoadFromReg() {
    TRegistryStream stream;
    if (stream.LoadFromRegistry(GetSection(), std::string(sFavIdent)) && stream.Size() > 0)
        ReadFavoriteStream(stream.Bytes(), *this);
}

void TFavoriteItems::SaveToReg() {
    TRegistryStream stream;
    const std::vector<std::uint8_t> bytes = WriteFavoriteStream(*this);
    stream.Write(bytes.data(), bytes.size());
    stream.SaveToRegistry(GetSection(), std::string(sFavIdent));
}
