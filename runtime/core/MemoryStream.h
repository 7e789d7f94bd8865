// A growable byte stream with a position, as the runtime's memory stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TMemoryStream {
public:
    TMemoryStream() = default;
    virtual ~TMemoryStream() = default;

    std::size_t Size() const noexcept { return FData.size(); }
    std::size_t Position() const noexcept { return FPosition; }
    void SetSize(std::size_t size) {
        FData.resize(size);
        if (FPosition > size)
            FPosition = size;
    }
    void Seek(std::size_t position) noexcept { FPosition = position > Size() ? Size() : position; }
    // Copies up to count bytes from the position on; returns how many were copied.
    std::size_t Read(void* buffer, std::size_t count) noexcept;
    // Writes at the position, growing the stream as needed.
    void Write(const void* buffer, std::size_t count);

    std::uint8_t* Memory() noexcept { return FData.data(); }
    const std::uint8_t* Memory() const noexcept { return FData.data(); }
    const std::vector<std::uint8_t>& Bytes() const noexcept { return FData; }
    std::vector<std::uint8_t>& Bytes() noexcept { return FData; }

private:
    std::vector<std::uint8_t> FData;
    std::size_t FPosition = 0;
};
