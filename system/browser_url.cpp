#include "system/browser_url.h"

#include <filesystem>
#include <system_error>

#include "core/path_text.h"

namespace qrv {
namespace {

std::u16string LowerAsciiLetters(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

bool HasBrowserScheme(const std::u16string& url) {
    const std::u16string lower = LowerAsciiLetters(url.substr(0, 6));
    return lower.starts_with(u"http:") || lower.starts_with(u"file:") ||
           lower.starts_with(u"https:");
}

}  // namespace

std::u16string CompleteBrowserUrl(const std::u16string& url) {
    if (HasBrowserScheme(url)) return url;
    const size_t hash = url.find(u'#');
    const std::u16string rest = url.substr(0, hash);
    const std::u16string anchor = hash == std::u16string::npos ? u"" : url.substr(hash);
    if (!rest.empty()) {
        std::error_code error;
        const std::filesystem::path absolute =
            std::filesystem::absolute(PathFromText(rest), error).lexically_normal();
        if (!error && std::filesystem::exists(absolute, error))
            return u"file:" + TextFromPath(absolute) + anchor;
    }
    return u"http:" + rest + anchor;
}

}  // namespace qrv
