#include "stream/stream_factory.h"

#include <functional>

#include "core/error.h"
#include "core/text.h"
#include "stream/c_stream.h"
#include "stream/stream_wrapper.h"
#include "stream/url_failure.h"

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

// When no factory gives a stream and none noted why, the cause says what was asked for: with
// no factory at all, the modules that register them were never set up.
Ref<TStream> AskFactories(const Ref<TObject>& url, std::u16string_view protocol,
                          std::u16string_view path, bool readable, bool writeable) {
    for (auto* factory = FactoryListHead().get(); factory; factory = factory->Next().get()) {
        if (auto stream = factory->TryOpen(url, protocol, path, readable, writeable)) return stream;
    }
    if (!FactoryListHead()) {
        NoteOpenFailure(NOT_INITIALISED_CAUSE);
    } else if (!protocol.empty()) {
        NoteOpenFailure("unknown protocol \"" + ToUtf8(protocol) + "\"");
    } else if (AsText(url)) {
        NoteOpenFailure("an empty URL names nothing");
    } else {
        NoteOpenFailure("no stream factory opens it");
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

namespace {

// Factories open their paths through OpenUrl again, so every protocol layer is one more call
// on the stack; the nesting a URL may ask for is bounded.
constexpr int kMaxNestedOpens = 64;

// The URL object being opened on this thread and the number of opens in progress. A factory
// that opens the rest of that URL's text passes a view into it; the open reuses the object
// instead of copying the rest into a new text at every layer.
thread_local const Ref<TObject>* openingUrl = nullptr;
thread_local int openDepth = 0;

class TOpeningScope {
public:
    explicit TOpeningScope(const Ref<TObject>& url) : outer(openingUrl) {
        openingUrl = &url;
        ++openDepth;
    }
    ~TOpeningScope() {
        openingUrl = outer;
        --openDepth;
    }
    TOpeningScope(const TOpeningScope&) = delete;
    TOpeningScope& operator=(const TOpeningScope&) = delete;

private:
    const Ref<TObject>* outer;
};

// Whether `part` lies within the text of the URL being opened.
bool IsPartOfOpeningUrl(std::u16string_view part) {
    const std::u16string* text = openingUrl ? AsText(*openingUrl) : nullptr;
    if (!text) return false;
    const std::less_equal<const char16_t*> notAfter;
    return notAfter(text->data(), part.data()) && notAfter(part.data() + part.size(), text->data() + text->size());
}

// An open that no other open is in progress around: it reports to LastFailure.
class TOutermostOpen {
public:
    explicit TOutermostOpen(const Ref<TObject>& url) : url(url) { ForgetOpenFailure(); }
    Ref<TStream> Report(Ref<TStream> stream) const {
        if (!stream) {
            const std::string& cause = NotedOpenFailure();
            SetUrlFailure(url, cause.empty() ? std::string_view("it does not open") : cause);
        }
        return stream;
    }

private:
    const Ref<TObject>& url;
};

Ref<TStream> OpenUrlText(const Ref<TObject>& url, std::u16string_view urlText, bool readable,
                         bool writeable) {
    if (openDepth > kMaxNestedOpens) {
        NoteOpenFailure("protocols nested too deep");
        return nullptr;
    }
    TOpeningScope scope(url);
    if (urlText.empty()) return AskFactories(url, u"", u"", readable, writeable);

    const size_t separator = urlText.find(u"::");
    if (separator == std::u16string_view::npos) {
        return TCStream::OpenCFile(urlText, readable, writeable);
    }
    const std::u16string protocol = LowerAscii(urlText.substr(0, separator));
    return AskFactories(url, protocol, urlText.substr(separator + 2), readable, writeable);
}

}  // namespace

Ref<TStream> OpenUrl(const Ref<TObject>& url, bool readable, bool writeable) {
    if (auto stream = std::dynamic_pointer_cast<TStream>(url)) return TStreamStream::Wrap(stream);
    const std::u16string* text = AsText(url);
    const std::u16string_view urlText = text ? std::u16string_view(*text) : std::u16string_view();
    if (openDepth > 0) return OpenUrlText(url, urlText, readable, writeable);
    const TOutermostOpen outermost(url);
    return outermost.Report(OpenUrlText(url, urlText, readable, writeable));
}

Ref<TStream> OpenUrl(std::u16string_view url, bool readable, bool writeable) {
    if (openDepth > kMaxNestedOpens) {
        NoteOpenFailure("protocols nested too deep");
        return nullptr;
    }
    if (IsPartOfOpeningUrl(url)) return OpenUrlText(*openingUrl, url, readable, writeable);
    return OpenUrl(MakeText(std::u16string(url)), readable, writeable);
}

}  // namespace qrv
