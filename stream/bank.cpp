#include "stream/bank.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "stream/stream.h"
#include "stream/stream_utils.h"

namespace qrv {

Ref<TBank> TBank::NewBank(int32_t size) {
    if (size < 0) return nullptr;
    return Ref<TBank>(new TBank(size));
}

TBank::TBank(int32_t size)
    : buffer(std::make_unique<uint8_t[]>(static_cast<size_t>(size))), size(size), capacity(size) {}

bool TBank::SetBankSize(int32_t newSize) {
    if (newSize < 0) return false;
    if (capacity < newSize) {
        const int64_t grown = static_cast<int64_t>(capacity) * 3 / 2;
        const auto newCapacity = static_cast<int32_t>(std::clamp<int64_t>(
            grown, newSize, std::numeric_limits<int32_t>::max()));
        auto grownBuffer = std::make_unique<uint8_t[]>(static_cast<size_t>(newCapacity));
        if (size > 0) std::memcpy(grownBuffer.get(), buffer.get(), static_cast<size_t>(size));
        buffer = std::move(grownBuffer);
        capacity = newCapacity;
    }
    size = newSize;
    return true;
}

Ref<TBank> BankFromUrl(const Ref<TObject>& url) {
    auto stream = OpenReadStream(url);
    if (!stream) return nullptr;
    const std::vector<uint8_t> bytes = LoadBytes(*stream);
    stream->Close();
    auto bank = TBank::NewBank(static_cast<int32_t>(bytes.size()));
    if (!bytes.empty()) std::memcpy(bank->Data(), bytes.data(), bytes.size());
    return bank;
}

Ref<TBank> BankFromUrl(std::u16string_view url) {
    return BankFromUrl(MakeText(std::u16string(url)));
}

}  // namespace qrv
