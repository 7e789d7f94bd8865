#include "MemoryStream.h"

#include <cstring>

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) noexcept {
    const std::size_t n = count < Size() - FPosition ? count : Size() - FPosition;
    if (n)
        std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    if (FPosition + count > FData.size())
        FData.resize(FPosition + count);
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition += count;
}
