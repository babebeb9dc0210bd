#pragma once

// libvorbisfile over bytes in memory by itself, without the framework's streams: the peer the
// Vorbis benchmark and fuzz target hold our decoding against.
// Without the header's ready-made callbacks over FILE*, which every includer would compile.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace qrv::test {

// The bytes libvorbisfile reads, and where it reads.
struct TVorbisMemory {
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

inline size_t ReadVorbisMemory(void* out, size_t size, size_t count, void* source) {
    auto& m = *static_cast<TVorbisMemory*>(source);
    const size_t n = std::min(size * count, m.size - m.position);
    std::memcpy(out, m.data + m.position, n);
    m.position += n;
    return n;
}

inline int SeekVorbisMemory(void* source, ogg_int64_t offset, int whence) {
    auto& m = *static_cast<TVorbisMemory*>(source);
    const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m.position : m.size;
    if (base + offset < 0) return -1;
    m.position = static_cast<size_t>(std::min<ogg_int64_t>(base + offset, m.size));
    return 0;
}

inline long TellVorbisMemory(void* source) { return static_cast<long>(static_cast<TVorbisMemory*>(source)->position); }

// ov_open_callbacks over the memory, which must outlive the file; 0 when it opened.
inline int OpenVorbisMemory(TVorbisMemory& memory, OggVorbis_File& file) {
    return ov_open_callbacks(&memory, &file, nullptr, 0, {ReadVorbisMemory, SeekVorbisMemory, nullptr, TellVorbisMemory});
}

}  // namespace qrv::test
