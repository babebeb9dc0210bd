#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qrv {

// A file compiled into the executable. Its bytes belong to the program and are never copied
// or freed.
struct TEmbeddedFile {
    const TEmbeddedFile* next;  // the entry registered before this one
    // The name it is registered under, and its bytes.
    std::u16string name;
    const uint8_t* data;
    int32_t size;
};

// Registers `size` bytes at `data` under `name`. The first registration of a name wins: a
// second one gives false and changes nothing. A negative size, or no data for a non-empty
// file, is refused with false.
bool RegisterEmbeddedFile(std::u16string name, const void* data, int32_t size);

// The entry whose name equals `name` exactly (case-sensitive), or null.
const TEmbeddedFile* FindEmbeddedFile(std::u16string_view name);
// The entry's bytes, or null for an unregistered name.
const uint8_t* EmbeddedFileData(std::u16string_view name);
// The entry's length, or 0 for an unregistered name.
int32_t EmbeddedFileSize(std::u16string_view name);

// True when the URL text is "incbin::<name>" (the protocol in any case) for a registered
// file: what it opens never changes while the program runs.
bool IsEmbeddedFileUrl(std::u16string_view url);

}  // namespace qrv
