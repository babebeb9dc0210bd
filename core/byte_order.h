#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

namespace qrv {

// Unsigned integers packed into bytes in a fixed order, independent of the machine's own: the
// data streams write little-endian, PNG chunks are big-endian, and the byte-order streams
// ("bigendian::", "littleendian::") write the order their URL names. The loops compile to single
// loads and stores where the orders agree.

// The value of size bytes (at most 8), least significant first.
[[nodiscard]] constexpr uint64_t LoadLittleEndian(const uint8_t* bytes, size_t size) {
    uint64_t value = 0;
    for (size_t i = size; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// The value of size bytes (at most 8), most significant first.
[[nodiscard]] constexpr uint64_t LoadBigEndian(const uint8_t* bytes, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value = value << 8 | bytes[i];
    return value;
}

// Writes the low size bytes (at most 8) of value, least significant first.
constexpr void StoreLittleEndian(uint8_t* bytes, uint64_t value, size_t size) {
    for (size_t i = 0; i < size; ++i, value >>= 8) bytes[i] = static_cast<uint8_t>(value);
}

// Writes the low size bytes (at most 8) of value, most significant first.
constexpr void StoreBigEndian(uint8_t* bytes, uint64_t value, size_t size) {
    for (size_t i = size; i-- > 0; value >>= 8) bytes[i] = static_cast<uint8_t>(value);
}

template <std::unsigned_integral T>
[[nodiscard]] constexpr T LoadLittleEndian(const uint8_t* bytes) {
    return static_cast<T>(LoadLittleEndian(bytes, sizeof(T)));
}

template <std::unsigned_integral T>
[[nodiscard]] constexpr T LoadBigEndian(const uint8_t* bytes) {
    return static_cast<T>(LoadBigEndian(bytes, sizeof(T)));
}

template <std::unsigned_integral T>
constexpr void StoreLittleEndian(uint8_t* bytes, T value) {
    StoreLittleEndian(bytes, value, sizeof(T));
}

template <std::unsigned_integral T>
constexpr void StoreBigEndian(uint8_t* bytes, T value) {
    StoreBigEndian(bytes, value, sizeof(T));
}

}  // namespace qrv
