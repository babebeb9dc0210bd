#include "stream/stream_factory.h"

#include "core/error.h"
#include "stream/c_stream.h"
#include "stream/stream_wrapper.h"

namespace qrv {
namespace {

Ref<TStreamFactory>& FactoryListHead() {
    static Ref<TStreamFactory> head;
    return head;
}

// Only A to Z change, so protocol names compare the same whatever the locale.
std::u16string LowerAscii(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

Ref<TStream> AskFactories(const Ref<TObject>& url, std::u16string_view protocol,
                          std::u16string_view path, bool readable, bool writeable) {
    for (auto* factory = FactoryListHead().get(); factory; factory = factory->Next().get()) {
        if (auto stream = factory->TryOpen(url, protocol, path, readable, writeable)) return stream;
    }
    return nullptr;
}

}  // namespace

Ref<TStream> TStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view, std::u16string_view,
                                     bool, bool) {
    throw TRuntimeError("Attempt to call abstract method");
}

void AddStreamFactory(Ref<TStreamFactory> factory) {
    if (!factory) return;
    // Linking a factory twice would make the list a cycle.
    for (auto* linked = FactoryListHead().get(); linked; linked = linked->Next().get()) {
        if (linked == factory.get()) return;
    }
    factory->next = FactoryListHead();
    FactoryListHead() = std::move(factory);
}

const Ref<TStreamFactory>& FirstStreamFactory() {
    return FactoryListHead();
}

Ref<TStream> OpenUrl(const Ref<TObject>& url, bool readable, bool writeable) {
    if (auto stream = std::dynamic_pointer_cast<TStream>(url)) return TStreamStream::Wrap(stream);

    const std::u16string* text = AsText(url);
    const std::u16string_view urlText = text ? std::u16string_view(*text) : std::u16string_view();
    if (urlText.empty()) return AskFactories(url, u"", u"", readable, writeable);

    const size_t separator = urlText.find(u"::");
    if (separator == std::u16string_view::npos) {
        return TCStream::OpenCFile(urlText, readable, writeable);
    }
    const std::u16string protocol = LowerAscii(urlText.substr(0, separator));
    return AskFactories(url, protocol, urlText.substr(separator + 2), readable, writeable);
}

Ref<TStream> OpenUrl(std::u16string_view url, bool readable, bool writeable) {
    return OpenUrl(MakeText(std::u16string(url)), readable, writeable);
}

}  // namespace qrv

