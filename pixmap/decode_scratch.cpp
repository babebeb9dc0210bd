#include "pixmap/decode_scratch.h"

#include <cstdlib>

namespace qrv {

namespace {

struct TKeptBlock {
    uint8_t* memory = nullptr;
    size_t size = 0;
    bool inUse = false;  // a decoder inside another's stream callback gets memory of its own

    ~TKeptBlock() { std::free(memory); }
};

thread_local TKeptBlock keptBlock;

}  // namespace

uint8_t* TDecodeScratch::Reserve(size_t size) noexcept {
    Release();
    size = size > 0 ? size : 1;
    TKeptBlock& block = keptBlock;
    if (!block.inUse && size <= keptScratchLimit) {
        if (block.size < size) {
            std::free(block.memory);
            block.memory = static_cast<uint8_t*>(std::malloc(size));
            block.size = block.memory ? size : 0;
        }
        if (block.memory) {
            block.inUse = true;
            kept = true;
            return memory = block.memory;
        }
    }
    return memory = static_cast<uint8_t*>(std::malloc(size));
}

void TDecodeScratch::Release() noexcept {
    if (kept)
        keptBlock.inUse = false;
    else
        std::free(memory);
    memory = nullptr;
    kept = false;
}

}  // namespace qrv
