// Opening URLs: nested "proto::" layers over files of a scratch folder and embedded files,
// against a parser of the URL syntax written here. A URL that names something that exists
// through known protocols must open, one that does not must not, and an opened stream reports
// the size of what it reads and reads to its end. Only read-only opens, and only names below
// the scratch folder: no network protocols, no absolute paths, no "..".
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "stream/embedded_files.h"
#include "stream/stream.h"
#include "stream/stream_module.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

namespace {

constexpr char kPlainText[] = "first line\r\nzweite Zeile\n\xC3\xA9t\xC3\xA9\n\0after zero\n12\n-7\n";
constexpr char kEmbedded[] = "\xFF\xFE" "A\0B\0\n\0";

// Layers over layers are the URL's own business; past this many an open may be refused.
constexpr int kDeepestCheckedNesting = 64;

void MakeFiles() {
    qrv::InitStreamModule();
    const auto& root = qrv::fuzz::ScratchFolder();
    std::FILE* file = std::fopen((root / "plain.txt").c_str(), "wb");
    std::fwrite(kPlainText, 1, sizeof kPlainText - 1, file);
    std::fclose(file);
    std::fclose(std::fopen((root / "Empty").c_str(), "wb"));
    std::filesystem::create_directories(root / "sub" / "deeper");
    std::filesystem::copy_file(root / "plain.txt", root / "sub" / "a::b");
    qrv::RegisterEmbeddedFile(u"fuzz.txt", kEmbedded, sizeof kEmbedded - 1);
    qrv::RegisterEmbeddedFile(u"x::y", kPlainText, 5);
    if (::chdir(root.c_str()) != 0) std::abort();
}

std::u16string LowerAscii(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return text;
}

bool IsWrapperProtocol(const std::u16string& protocol) {
    return protocol == u"latin1" || protocol == u"utf8" || protocol == u"utf16be" || protocol == u"utf16le" ||
           protocol == u"bigendian" || protocol == u"littleendian";
}

struct TExpected {
    bool known = true;         // false: a protocol this model does not know; anything may happen
    std::optional<int64_t> size;  // the size of what the innermost layer reads; none: no stream
    int layers = 0;
};

std::optional<int64_t> FileSize(const std::u16string& path) {
    std::string native;
    for (char16_t c : path) {
        if (c == 0 || c > 0xFF) return std::nullopt;
        native.push_back(static_cast<char>(c == u'\\' ? u'/' : c));
    }
    struct stat status {};
    if (native.empty() || ::stat(native.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return status.st_size;
}

TExpected Expect(std::u16string_view url) {
    TExpected expected;
    for (;;) {
        const size_t separator = url.find(u"::");
        if (separator == std::u16string_view::npos) {
            expected.size = FileSize(std::u16string(url));
            return expected;
        }
        const std::u16string protocol = LowerAscii(std::u16string(url.substr(0, separator)));
        const std::u16string_view rest = url.substr(separator + 2);
        if (protocol == u"incbin") {
            if (const qrv::TEmbeddedFile* file = qrv::FindEmbeddedFile(rest)) expected.size = file->size;
            return expected;
        }
        if (!IsWrapperProtocol(protocol)) {
            expected.known = protocol.empty();  // no factory takes the empty protocol
            return expected;
        }
        ++expected.layers;
        url = rest;
    }
}

// Nothing outside the scratch folder and nothing on the network.
bool IsConfined(const std::u16string& url) {
    const std::u16string lower = LowerAscii(url);
    if (lower.find(u"tcp::") != std::u16string::npos || lower.find(u"http::") != std::u16string::npos) return false;
    if (url.find(u"..") != std::u16string::npos) return false;
    const size_t last = url.rfind(u"::");
    const std::u16string_view path = last == std::u16string::npos ? std::u16string_view(url) : std::u16string_view(url).substr(last + 2);
    return path.empty() || (path[0] != u'/' && path[0] != u'\\');
}

void CheckOpen(const std::u16string& url) {
    const TExpected expected = Expect(url);
    qrv::Ref<qrv::TStream> stream = qrv::OpenUrl(url, true, false);
    if (expected.known && expected.layers <= kDeepestCheckedNesting) {
        FUZZ_CHECK(static_cast<bool>(stream) == expected.size.has_value(), "opened when it should not, or not when it should");
    }
    if (!stream) return;
    if (expected.known && expected.size) FUZZ_CHECK(stream->Size() == *expected.size, "size of the opened stream");
    // Every line read takes at least one byte of the innermost layer, so this ends.
    int64_t lines = 0;
    while (!stream->AtEnd()) {
        stream->ReadTextLine();
        FUZZ_CHECK(++lines <= stream->Size() + 1, "reading does not reach the end");
    }
    stream->Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (MakeFiles(), true);
    (void)ready;
    if (size > 1 << 20) return 0;
    const std::u16string url(data, data + size);
    if (IsConfined(url)) CheckOpen(url);
    return 0;
}
