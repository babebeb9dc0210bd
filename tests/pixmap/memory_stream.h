#pragma once

#include <algorithm>
#include <cstring>

#include "stream/stream.h"
#include "test_files.h"

namespace pixmap_test {

// A stream over bytes in memory, for the cases files cannot show: a stream that cannot seek,
// one whose writes fail, a picture that starts in the middle of the data.
class TTestStream : public qrv::TStream {
public:
    explicit TTestStream(Bytes bytes = {}, bool seekable = true)
        : bytes(std::move(bytes)), seekable(seekable) {}

    int32_t Position() override { return seekable ? position : -1; }
    int32_t Size() override { return static_cast<int32_t>(bytes.size()); }
    bool AtEnd() override { return position == Size(); }
    int32_t Seek(int32_t pos) override {
        if (!seekable) return -1;
        position = std::clamp(pos, 0, Size());
        return position;
    }
    int32_t Read(void* buffer, int32_t count) override {
        int32_t n = std::min(count, Size() - position);
        std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(n));
        position += n;
        return n;
    }
    int32_t Write(const void* buffer, int32_t count) override {
        if (failWrites) return 0;
        auto* p = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), p, p + count);
        position = Size();
        return count;
    }

    Bytes bytes;
    int32_t position = 0;
    bool seekable;
    bool failWrites = false;
};

}  // namespace pixmap_test
