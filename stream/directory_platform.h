#pragma once

#include <string_view>

#include "core/object.h"

namespace qrv {

class TDirectoryListing;

// The platform halves of the directory helpers. Paths are taken as they are: the caller's path
// is normalised once, and names read from listings are joined to it unchanged.

// A listing of the folder; none when it is no folder.
[[nodiscard]] Ref<TDirectoryListing> OpenLiteralListing(std::u16string_view path);
// Whether the entry is itself a link: a symbolic link, or on Windows any reparse point (a
// junction too). Links are removed as entries and never followed by the tree operations.
bool IsLinkEntry(std::u16string_view path);
bool RemoveLinkEntry(std::u16string_view path);
bool MakeOneDirectory(std::u16string_view path);
bool RemoveOneDirectory(std::u16string_view path);
// Whether `inner` is `outer` or lies inside it, comparing the paths with every link resolved
// (`inner` need not exist yet), so a target reached through a link into the source counts.
bool IsInside(std::u16string_view inner, std::u16string_view outer);

}  // namespace qrv
