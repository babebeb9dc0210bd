#include "core/byte_order.h"

#include <array>

#include <gtest/gtest.h>

namespace qrv {
namespace {

TEST(ByteOrder, BothOrdersPackTheSameValueMirrored) {
    std::array<uint8_t, 8> little{};
    std::array<uint8_t, 8> big{};
    StoreLittleEndian<uint32_t>(little.data(), 0x11223344u);
    StoreBigEndian<uint32_t>(big.data(), 0x11223344u);
    EXPECT_EQ((std::array<uint8_t, 4>{0x44, 0x33, 0x22, 0x11}),
              (std::array<uint8_t, 4>{little[0], little[1], little[2], little[3]}));
    EXPECT_EQ((std::array<uint8_t, 4>{0x11, 0x22, 0x33, 0x44}),
              (std::array<uint8_t, 4>{big[0], big[1], big[2], big[3]}));
    EXPECT_EQ(0x11223344u, LoadLittleEndian<uint32_t>(little.data()));
    EXPECT_EQ(0x11223344u, LoadBigEndian<uint32_t>(big.data()));
}

TEST(ByteOrder, SizedValuesKeepTheirHighBitsAndTouchNoOtherByte) {
    std::array<uint8_t, 9> bytes{};
    bytes.fill(0xAA);
    StoreLittleEndian(bytes.data(), 0xFEDCBA9876543210u, 8);
    EXPECT_EQ(0xAA, bytes[8]);
    EXPECT_EQ(0xFEDCBA9876543210u, LoadLittleEndian(bytes.data(), 8));
    StoreBigEndian(bytes.data(), 0xABCDEFu, 3);
    EXPECT_EQ(0xABCDEFu, LoadBigEndian(bytes.data(), 3));
    EXPECT_EQ(0xEFCDABu, LoadLittleEndian(bytes.data(), 3));
    EXPECT_EQ(0u, LoadBigEndian(bytes.data(), 0));
}

}  // namespace
}  // namespace qrv
