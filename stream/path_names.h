#pragma once

#include <string>
#include <string_view>

namespace qrv {

// Whether a path may begin with a drive letter and colon ("C:"). Only platforms with drives
// have them: elsewhere "a:b" is an ordinary name, and treating it as a drive would reach
// another file ("a:/b").
#ifdef _WIN32
inline constexpr bool PATHS_HAVE_DRIVES = true;
#else
inline constexpr bool PATHS_HAVE_DRIVES = false;
#endif

// Paths are written with "/"; where paths have drives, a drive letter and colon may lead, and
// "//server/share" begins a network path.
// Backslashes become "/"; a bare drive ("C:") or drive-relative path ("C:data") gains the "/"
// after its colon; with `dropTrailingSlash` one trailing "/" goes, except from "/" and "C:/".
std::u16string NormalizePath(std::u16string_view path, bool dropTrailingSlash = false);

// What a malformed path gives where a directory is asked for.
inline constexpr std::u16string_view BAD_DIR = u"<bad_dir>";

// Joining and splitting touch no file system.

// The absolute form of `path`, a relative one taken as continuing the absolute directory
// `base`, with "." and ".." resolved; BAD_DIR when ".." climbs above the root (a drive's root,
// or a network path's "//server/share/"). Where paths have drives, a path from the root ("/a")
// is taken on the base's drive.
std::u16string ResolvePath(std::u16string_view path, std::u16string_view base);

// For "data/pic.big.png" the file name part is
// "pic.big.png", the base name "pic.big", the extension "png", the path without extension
// "data/pic.big" and the directory part "data". The directory part is BAD_DIR when the path
// has no "/" or ends with one.
std::u16string FileNamePart(std::u16string_view path);
std::u16string WithoutExtension(std::u16string_view path);
std::u16string BaseName(std::u16string_view path);
std::u16string DirectoryPart(std::u16string_view path);
std::u16string ExtensionPart(std::u16string_view path);

}  // namespace qrv
