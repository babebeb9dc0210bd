#pragma once

#include "stream/bank.h"
#include "stream/stream.h"
#include "stream/stream_factory.h"

namespace qrv {

// A seekable stream over a memory bank. Writing past the end grows the bank; a write that
// would take the bank beyond 2^31 - 1 bytes is refused (gives 0). Flush and Close do nothing.
class TBankStream : public TStream {
public:
    // A new bank of size 0 is made when `bank` is none.
    [[nodiscard]] static Ref<TBankStream> OverBank(Ref<TBank> bank);

    int32_t Position() override { return position; }
    int32_t Size() override { return bank->Size(); }
    int32_t Seek(int32_t pos) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;

    // The bank the stream reads and writes (never none).
    const Ref<TBank>& Bank() const { return bank; }

private:
    explicit TBankStream(Ref<TBank> target) : bank(std::move(target)) {}

    int32_t position = 0;
    Ref<TBank> bank;
};

// The same as TBankStream::OverBank: a stream over the bank, or over a new empty one for none.
[[nodiscard]] Ref<TBankStream> BankStreamOver(Ref<TBank> bank);

// Opens a stream over the URL object itself when it is a memory bank, whatever the protocol.
class TBankStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
