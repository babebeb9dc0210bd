#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "stream/stream.h"

namespace qrv {

// Kinds of path, as PathKind gives them.
constexpr int FILETYPE_NONE = 0;  // missing, or neither a regular file nor a directory
constexpr int FILETYPE_FILE = 1;
constexpr int FILETYPE_DIR = 2;

// Opens any URL as a seekable stream: one that cannot report its position is read to its end
// into a memory bank (the original stream is left open) and a bank stream over it is given.
// None when the URL does not open.
[[nodiscard]] Ref<TStream> OpenSeekableStream(const Ref<TObject>& url, bool readable, bool writeable);
[[nodiscard]] Ref<TStream> OpenSeekableStream(std::u16string_view url, bool readable, bool writeable);
// The same as OpenSeekableStream(url, true, false): a seekable stream for reading, or none.
[[nodiscard]] Ref<TStream> OpenFileForReading(std::u16string_view url);
// A disk file is created or truncated.
[[nodiscard]] Ref<TStream> OpenFileForWriting(std::u16string_view url);

// The helpers below take paths with "/" (backslashes are accepted), never URLs, and report
// failure through their results; they raise nothing.
int PathKind(std::u16string_view path);
// The working directory, normalised; empty when it cannot be found.
std::u16string WorkingDirectory();
// Makes the path the working directory; false (nothing changes) when it cannot.
bool SetWorkingDirectory(std::u16string_view path);
// The absolute form of `path` against the working directory, with "." and ".." resolved;
// BAD_DIR when ".." climbs above the root.
std::u16string AbsolutePath(std::u16string_view path);

int64_t FileLength(std::u16string_view path);        // -1 when missing
int64_t ModificationTime(std::u16string_view path);  // seconds since 1970; -1 when missing
int32_t PermissionBits(std::u16string_view path);    // mode & 0x1FF; -1 when missing
// Windows keeps only a read-only attribute: a file reads as 0444 when read-only, else 0666, a
// folder as 0777; setting bits without the owner's write bit (0200) makes a file read-only, with
// it writable, and changes no folder.
bool SetPermissionBits(std::u16string_view path, int32_t bits);

// Removes the file, then creates it empty; true when a regular file exists afterwards.
bool CreateEmptyFile(std::u16string_view path);
// Removes a file, also a read-only one.
bool RemoveFile(std::u16string_view path);
// Renames or moves within one volume; an existing target file is replaced.
bool MovePath(std::u16string_view from, std::u16string_view to);
// Copies through streams. False when either side does not open, a read or write fails (also
// when that shows only as the copy is closed), or both name the same file (which opening for
// writing would otherwise empty before it is read).
bool DuplicateFile(std::u16string_view from, std::u16string_view to);

// The same operations on paths taken as they are, for names read from the file system: there a
// backslash is part of a name, and normalising would turn it into a folder separator.
int LiteralPathKind(std::u16string_view path);
// Removes a file, also a read-only one; false when it is missing or cannot be removed.
bool RemoveLiteralFile(std::u16string_view path);
// Copies between two disk files (no URLs).
bool DuplicateLiteralFile(std::u16string_view from, std::u16string_view to);

}  // namespace qrv
