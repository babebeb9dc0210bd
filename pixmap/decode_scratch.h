#pragma once

#include <cstddef>
#include <cstdint>

namespace qrv {

// Working memory for a decoder (inflated rows, coefficient arrays), as large as the picture.
// Each thread keeps one such block between pictures, up to keptScratchLimit bytes: faulting in
// fresh pages costs far more than filling them, so reusing the block saves most of the time a
// decoder spends on its working memory. A scratch takes the thread's block when it is free
// and large enough (or can be made so), and memory of its own otherwise.
class TDecodeScratch {
public:
    static constexpr size_t keptScratchLimit = size_t{4} << 20;

    TDecodeScratch() = default;
    ~TDecodeScratch() { Release(); }
    TDecodeScratch(const TDecodeScratch&) = delete;
    TDecodeScratch& operator=(const TDecodeScratch&) = delete;

    // At least `size` bytes of undefined contents, valid until the next Reserve or the end of
    // the scratch; null when out of memory. Plain data only: callable from libjpeg's callbacks.
    [[nodiscard]] uint8_t* Reserve(size_t size) noexcept;

private:
    void Release() noexcept;

    uint8_t* memory = nullptr;
    bool kept = false;  // the thread's block, given back rather than freed
};

}  // namespace qrv
