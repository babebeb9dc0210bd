#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

// Extension lists of file requesters: groups separated by ";", each a description, ":" and
// extensions separated by ","; a list without ":" is one group of extensions. So
// "Image Files:png,jpg;Text:txt" has two groups.

// The requester's filter: description and pattern pairs, each part ended by a NUL:
// "Image Files\0*.png;*.jpg\0Text\0*.txt\0". A list without ":" is described as "Files".
// An empty list gives an empty filter.
std::u16string BuildFileFilter(const std::u16string& extensions);

// The 1-based filter group to preselect for initialPath, or 0 for none: the text after the
// path's first "." is looked up among the extensions (without regard to ASCII case). A group
// counts only when another group follows it, so the last group is never preselected.
int32_t FileFilterIndex(const std::u16string& initialPath, const std::u16string& extensions);

// One group of a filter.
struct TFileFilterGroup {
    // "Image Files".
    std::u16string description;
    std::vector<std::u16string> patterns;  // "*.png", "*.jpg"
};

// The groups of a filter made by BuildFileFilter.
std::vector<TFileFilterGroup> SplitFileFilter(const std::u16string& filter);

}  // namespace qrv
