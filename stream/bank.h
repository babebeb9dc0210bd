#pragma once

#include <cstdint>
#include <memory>

#include "core/object.h"

namespace qrv {

// A resizable block of memory that the bank owns. Growing allocates max(capacity * 3 / 2,
// new size) bytes at once, so repeated small growth stays cheap; shrinking keeps the buffer.
// A bank holds at most 2^31 - 1 bytes.
class TBank : public TObject {
public:
    // None for a negative size.
    [[nodiscard]] static Ref<TBank> NewBank(int32_t size);

    // The bank's bytes, Size() of them. SetBankSize may move them: take the pointer again after.
    uint8_t* Data() { return buffer.get(); }
    const uint8_t* Data() const { return buffer.get(); }
    // Size: the bytes in use. Capacity: the bytes allocated, at least Size().
    int32_t Size() const { return size; }
    int32_t Capacity() const { return capacity; }

    // False (and nothing changes) for a negative size.
    [[nodiscard]] bool SetBankSize(int32_t newSize);

private:
    explicit TBank(int32_t size);

    std::unique_ptr<uint8_t[]> buffer;
    int32_t size = 0;
    int32_t capacity = 0;
};

// The bytes of a URL in a new bank of exactly their length; none when the URL does not open.
// The stream opened for it is closed again.
[[nodiscard]] Ref<TBank> BankFromUrl(const Ref<TObject>& url);
[[nodiscard]] Ref<TBank> BankFromUrl(std::u16string_view url);

}  // namespace qrv
