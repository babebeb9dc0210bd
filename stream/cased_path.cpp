#include "stream/cased_path.h"

#include <climits>
#include <vector>

#include "stream/directory.h"
#include "stream/file_system.h"

namespace qrv {
namespace {

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

// The entry of `folder` that matches `name` ignoring case, or empty.
std::u16string MatchEntry(std::u16string_view folder, std::u16string_view name) {
    const std::u16string wanted = LowerAscii(name);
    for (const std::u16string& entry : ListDirectory(folder, false)) {
        if (LowerAscii(entry) == wanted) return entry;
    }
    return {};
}

// One step of the lookup: `path` without its trailing "/" (kept in `trailing`), and the
// position of the "/" before its last name (npos when there is none).
struct TCasedStep {
    std::u16string_view path;
    std::u16string_view trailing;
    size_t slash;
};

// The existing path `prefix` (empty for the working folder, "/" for the root) joined with the
// entry that matches the step's last name; empty when no entry matches.
std::u16string MatchStep(const TCasedStep& step, std::u16string prefix) {
    const std::u16string folder = prefix.empty() ? u"." : prefix;
    const std::u16string match = MatchEntry(folder, step.path.substr(step.slash + 1));
    if (match.empty()) return {};
    if (!prefix.empty() && prefix.back() != u'/') prefix += u'/';
    std::u16string cased = prefix + match;
    // A name written with a trailing "/" names a folder; a file of that name does not match.
    if (!step.trailing.empty() && PathKind(cased) != FILETYPE_DIR) return {};
    return cased + std::u16string(step.trailing);
}

// No path longer than this exists: the platform refuses it before looking. Windows takes
// 32,767 UTF-16 units through its long-path prefix; its PATH_MAX (260) is no limit there.
#ifdef _WIN32
constexpr size_t kLongestPath = 32767 - 1;
#else
constexpr size_t kLongestPath = PATH_MAX - 1;
#endif

}  // namespace

// The path is cut at its last "/" again and again until a part exists (or none is left), then
// each cut-off name is matched in turn from the part that exists. A loop, not recursion: the
// number of names comes from the caller.
std::u16string FindCasedPath(std::u16string_view path) {
    if (path.empty()) return {};
    std::vector<TCasedStep> steps;
    std::u16string found;
    for (std::u16string_view rest = path;;) {
        if (rest.size() <= kLongestPath && PathKind(rest) != FILETYPE_NONE) {
            found = std::u16string(rest);
            break;
        }
        TCasedStep step{rest, {}, 0};
        if (step.path.size() > 1 && step.path.back() == u'/') {
            step.trailing = step.path.substr(step.path.size() - 1);
            step.path.remove_suffix(1);
        }
        step.slash = step.path.rfind(u'/');
        steps.push_back(step);
        if (step.slash == std::u16string_view::npos || step.slash == 0) break;
        rest = step.path.substr(0, step.slash);
    }
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (step->slash == std::u16string_view::npos) {
            found = MatchStep(*step, u"");
        } else if (step->slash == 0) {
            found = MatchStep(*step, u"/");
        } else {
            found = found.empty() ? found : MatchStep(*step, std::move(found));
        }
        if (found.empty()) return {};
    }
    return found;
}

}  // namespace qrv
