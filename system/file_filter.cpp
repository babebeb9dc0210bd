#include "system/file_filter.h"

namespace qrv {
namespace {

void ReplaceAll(std::u16string& text, char16_t from, const std::u16string& to) {
    for (size_t pos = text.find(from); pos != std::u16string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, 1, to);
}

std::u16string LowerAsciiLetters(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

std::vector<std::u16string> SplitAt(const std::u16string& text, char16_t separator) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    for (size_t pos = text.find(separator); pos != std::u16string::npos;
         start = pos + 1, pos = text.find(separator, start))
        parts.push_back(text.substr(start, pos - start));
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::u16string BuildFileFilter(const std::u16string& extensions) {
    if (extensions.empty()) return {};
    const std::u16string nulStar(u"\0*.", 3);
    std::u16string filter;
    if (extensions.find(u':') == std::u16string::npos) {
        filter = u"Files" + nulStar + extensions;
    } else {
        filter = extensions;
        ReplaceAll(filter, u':', nulStar);
    }
    ReplaceAll(filter, u';', std::u16string(1, u'\0'));
    ReplaceAll(filter, u',', u";*.");
    filter += u'\0';
    return filter;
}

int32_t FileFilterIndex(const std::u16string& initialPath, const std::u16string& extensions) {
    const size_t dot = initialPath.find(u'.');
    if (dot == std::u16string::npos) return 0;
    std::u16string list = LowerAsciiLetters(extensions);
    ReplaceAll(list, u':', u":,");
    ReplaceAll(list, u';', u",;");
    std::u16string entry(1, u',');
    entry.append(LowerAsciiLetters(initialPath.substr(dot + 1))).push_back(u',');
    const size_t found = list.find(entry);
    if (found == std::u16string::npos) return 0;
    if (list.find(u';', found) == std::u16string::npos) return 0;
    int32_t groupsBefore = 0;
    for (size_t i = 0; i < found; ++i)
        if (list[i] == u';') ++groupsBefore;
    return 1 + groupsBefore;
}

std::vector<TFileFilterGroup> SplitFileFilter(const std::u16string& filter) {
    std::vector<TFileFilterGroup> groups;
    std::vector<std::u16string> parts = SplitAt(filter, u'\0');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) break;
        groups.push_back({parts[i], SplitAt(parts[i + 1], u';')});
    }
    return groups;
}

}  // namespace qrv
