#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/object.h"

namespace qrv {

// Creates the directory; with `recursive` every missing parent first. True when the directory
// exists afterwards.
bool MakeDirectory(std::u16string_view path, bool recursive = false);
// Removes an empty directory; with `recursive` its contents first. Symbolic links inside are
// removed as links: what they point to is never touched.
bool RemoveDirectory(std::u16string_view path, bool recursive = false);
// Copies a directory tree. Symbolic links to directories are not followed (they could form a
// cycle), and a target inside the source is refused.
bool DuplicateDirectory(std::u16string_view from, std::u16string_view to);

// A directory being listed, one entry name at a time ("." and ".." included).
class TDirectoryListing;
// Starts listing the directory; none when it is missing or cannot be read.
[[nodiscard]] Ref<TDirectoryListing> OpenListing(std::u16string_view path);
// The next entry's name, or empty at the end or after CloseListing.
std::u16string NextListingEntry(TDirectoryListing& listing);
// Ends the listing and releases the directory; NextListingEntry gives empty afterwards.
void CloseListing(TDirectoryListing& listing);

// Entry names in byte order, by default without "." and "..". Empty when the path is no
// directory.
std::vector<std::u16string> ListDirectory(std::u16string_view path, bool skipDots = true);

}  // namespace qrv
