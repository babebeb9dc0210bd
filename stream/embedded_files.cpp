#include "stream/embedded_files.h"

#include <deque>

namespace qrv {
namespace {

// Entries live for the whole process. A deque keeps their addresses stable as it grows, so
// the `next` links stay valid; `newest` is the head of the list.
struct Registry {
    std::deque<TEmbeddedFile> entries;
    const TEmbeddedFile* newest = nullptr;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

bool RegisterEmbeddedFile(std::u16string name, const void* data, int32_t size) {
    if (size < 0 || (size > 0 && !data)) return false;
    if (FindEmbeddedFile(name)) return false;
    Registry& registry = TheRegistry();
    registry.entries.push_back(
        TEmbeddedFile{registry.newest, std::move(name), static_cast<const uint8_t*>(data), size});
    registry.newest = &registry.entries.back();
    return true;
}

const TEmbeddedFile* FindEmbeddedFile(std::u16string_view name) {
    for (const TEmbeddedFile* entry = TheRegistry().newest; entry; entry = entry->next) {
        if (entry->name == name) return entry;
    }
    return nullptr;
}

const uint8_t* EmbeddedFileData(std::u16string_view name) {
    const TEmbeddedFile* entry = FindEmbeddedFile(name);
    return entry ? entry->data : nullptr;
}

int32_t EmbeddedFileSize(std::u16string_view name) {
    const TEmbeddedFile* entry = FindEmbeddedFile(name);
    return entry ? entry->size : 0;
}

bool IsEmbeddedFileUrl(std::u16string_view url) {
    constexpr std::u16string_view protocol = u"incbin::";
    if (url.size() < protocol.size()) return false;
    for (size_t i = 0; i < protocol.size(); ++i) {
        const char16_t c = url[i];
        if ((c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c) != protocol[i]) return false;
    }
    return FindEmbeddedFile(url.substr(protocol.size())) != nullptr;
}

}  // namespace qrv
