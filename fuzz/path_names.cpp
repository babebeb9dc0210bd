// The path helpers: normalising, absolute paths, the parts of a path, and FindCasedPath in a
// scratch folder of known names. Absolute paths are checked against a resolver written here
// (on this platform a colon is an ordinary character, not a drive), the parts by how they put
// the path together again, and FindCasedPath by the folder's own names.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stream/file_system.h"
#include "stream/cased_path.h"
#include "stream/path_names.h"
#include "stream/stream_module.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

namespace {

using qrv::BAD_DIR;

// The folders and the files made in the scratch folder; two folders differ only in case.
const std::vector<std::u16string> kFolders = {u"Alpha", u"Alpha/beta", u"alpha2", u"CASE", u"case"};
const std::vector<std::u16string> kFiles = {u"Alpha/beta/Gamma.TXT", u"Alpha/Delta.bin", u"x y", u"Alpha/beta/.hidden"};

std::filesystem::path InScratch(const std::u16string& name) {
    return qrv::fuzz::ScratchFolder() / std::string(name.begin(), name.end());
}

void MakeTree() {
    for (const auto& name : kFolders) std::filesystem::create_directories(InScratch(name));
    for (const auto& name : kFiles) std::fclose(std::fopen(InScratch(name).c_str(), "wb"));
    if (::chdir(qrv::fuzz::ScratchFolder().c_str()) != 0) std::abort();
}

std::u16string LowerAscii(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return text;
}

// Repeated slashes name the same folder as one; a cased path may keep only one.
std::u16string FoldedForComparison(const std::u16string& path) {
    std::u16string folded;
    for (const char16_t c : LowerAscii(path)) {
        if (c != u'/' || folded.empty() || folded.back() != u'/') folded.push_back(c);
    }
    return folded;
}

bool HasDrive(std::u16string_view path) {
    return path.size() >= 2 && path[1] == u':';
}

// The absolute form with "." and ".." resolved; BAD_DIR when ".." climbs above the root.
std::u16string ModelAbsolute(std::u16string path, const std::u16string& workingFolder) {
    for (char16_t& c : path) {
        if (c == u'\\') c = u'/';
    }
    if (path.empty() || path[0] != u'/') path = workingFolder + u"/" + path;
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'/', start);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == u".") continue;
        if (part != u"..") parts.push_back(part);
        else if (parts.empty()) return std::u16string(BAD_DIR);
        else parts.pop_back();
    }
    std::u16string absolute;
    for (const auto& part : parts) absolute += u"/" + part;
    return absolute.empty() ? u"/" : absolute;
}

void CheckAbsolute(const std::u16string& path, const std::u16string& workingFolder) {
    const std::u16string absolute = qrv::AbsolutePath(path);
    const bool drive = HasDrive(qrv::NormalizePath(path));
    if (drive) {
        FUZZ_CHECK(absolute == ModelAbsolute(path, workingFolder), "absolute path of a name with a colon");
    } else {
        FUZZ_CHECK(absolute == ModelAbsolute(path, workingFolder), "absolute path");
    }
    if (absolute != BAD_DIR) FUZZ_CHECK(qrv::AbsolutePath(absolute) == absolute, "absolute path not idempotent");
}

// How the parts put the path together again.
void CheckParts(const std::u16string& path) {
    const std::u16string normal = qrv::NormalizePath(path);
    FUZZ_CHECK(qrv::NormalizePath(normal) == normal, "normalising twice changes the path");
    FUZZ_CHECK(normal.find(u'\\') == std::u16string::npos, "a backslash left by normalising");
    if (HasDrive(normal)) return;  // the parts of a drive path are the drive code's own rules

    const std::u16string file = qrv::FileNamePart(path);
    FUZZ_CHECK(file.find(u'/') == std::u16string::npos && normal.ends_with(file), "file name part");
    const std::u16string extension = qrv::ExtensionPart(path);
    const std::u16string stem = qrv::WithoutExtension(path);
    FUZZ_CHECK(extension.find_first_of(u"./") == std::u16string::npos, "extension part");
    FUZZ_CHECK(normal == stem + (normal.size() > stem.size() ? u"." + extension : u""), "path without extension");
    FUZZ_CHECK(qrv::BaseName(path) == qrv::FileNamePart(stem), "base name");
    const std::u16string folder = qrv::DirectoryPart(path);
    if (folder == BAD_DIR) {
        FUZZ_CHECK(normal.find(u'/') == std::u16string::npos || normal.back() == u'/', "directory part missing");
    } else {
        const bool joined = normal == folder + u"/" + file || (folder.ends_with(u'/') && normal == folder + file);
        FUZZ_CHECK(joined && !file.empty(), "directory part");
    }
}

// A relative path of plain components (no ".", "..", empty or trailing ones).
bool IsPlainRelative(const std::u16string& path) {
    if (path.empty() || path[0] == u'/' || path.back() == u'/') return false;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(u'/', start);
        if (end == std::u16string::npos) end = path.size();
        const std::u16string_view part = std::u16string_view(path).substr(start, end - start);
        if (part.empty() || part == u"." || part == u"..") return false;
        start = end + 1;
    }
    return true;
}

void CheckCasedPath(const std::u16string& path) {
    // Only names below the scratch folder; a path up or out would list the machine's folders.
    if (path.empty() || path[0] == u'/' || path.find(u"..") != std::u16string::npos ||
        path.find(u'\\') != std::u16string::npos || path.find(u'\0') != std::u16string::npos) {
        return;
    }
    const std::u16string found = qrv::FindCasedPath(path);
    if (!found.empty()) {
        FUZZ_CHECK(FoldedForComparison(found) == FoldedForComparison(path), "a cased path that is not the path");
        // A file found for a path with a trailing "/" keeps the "/", which names nothing.
        FUZZ_CHECK(qrv::PathKind(found) != qrv::FILETYPE_NONE, "a cased path that does not exist");
    }
    if (!IsPlainRelative(path)) return;
    for (const auto* names : {&kFolders, &kFiles}) {
        for (const auto& name : *names) {
            if (LowerAscii(name) == LowerAscii(path)) FUZZ_CHECK(!found.empty(), "an existing name not found");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::u16string workingFolder = [] {
        qrv::InitStreamModule();
        MakeTree();
        return qrv::WorkingDirectory();
    }();
    if (size > 1 << 16) return 0;
    // Bytes as Latin-1 characters; an odd length also tries pairs of bytes as 16-bit units.
    std::u16string path(data, data + size);
    CheckAbsolute(path, workingFolder);
    CheckParts(path);
    CheckCasedPath(path);
    if (size % 2 == 1) {
        std::u16string wide;
        for (size_t i = 1; i + 1 < size; i += 2) wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
        CheckAbsolute(wide, workingFolder);
        CheckParts(wide);
    }
    return 0;
}
