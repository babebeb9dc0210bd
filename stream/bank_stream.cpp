#include "stream/bank_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace qrv {

Ref<TBankStream> TBankStream::OverBank(Ref<TBank> bank) {
    if (!bank) bank = TBank::NewBank(0);
    return Ref<TBankStream>(new TBankStream(std::move(bank)));
}

int32_t TBankStream::Seek(int32_t pos) {
    position = std::clamp(pos, 0, bank->Size());
    return position;
}

int32_t TBankStream::Read(void* buffer, int32_t count) {
    const int32_t size = bank->Size();
    if (count < 1 || position >= size) return 0;
    count = std::min(count, size - position);
    std::memcpy(buffer, bank->Data() + position, static_cast<size_t>(count));
    position += count;
    return count;
}

int32_t TBankStream::Write(const void* buffer, int32_t count) {
    if (count < 1 || position > bank->Size()) return 0;
    if (count > std::numeric_limits<int32_t>::max() - position) return 0;
    const int32_t end = position + count;
    if (end > bank->Size() && !bank->SetBankSize(end)) return 0;
    std::memcpy(bank->Data() + position, buffer, static_cast<size_t>(count));
    position = end;
    return count;
}

Ref<TBankStream> BankStreamOver(Ref<TBank> bank) {
    return TBankStream::OverBank(std::move(bank));
}

Ref<TStream> TBankStreamFactory::TryOpen(const Ref<TObject>& url, std::u16string_view,
                                         std::u16string_view, bool, bool) {
    auto bank = std::dynamic_pointer_cast<TBank>(url);
    return bank ? BankStreamOver(std::move(bank)) : nullptr;
}

}  // namespace qrv
