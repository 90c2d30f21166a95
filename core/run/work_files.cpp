#include "core/run/work_files.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <iterator>
#include <string_view>
#include <vector>

#include "core/base/extensions.h"

namespace {

// The extensions of every file a run of a document writes: the work files and the temporary
// names of the files written whole.
const std::vector<std::string>& RunFileExtensions() {
    static const std::vector<std::string> extensions = [] {
        std::vector<std::string> all(std::begin(extension::kWorkFiles),
                                     std::end(extension::kWorkFiles));
        for (const char* whole : extension::kWrittenWhole) {
            all.push_back(std::string(whole) + extension::kTemporarySuffix);
        }
        return all;
    }();
    return extensions;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The file-name part of a path.
std::string_view LeafOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = (slash == std::string::npos) ? 0 : slash + 1;
    if (nameStart + 1 >= path.size()) return "";
    const auto dot = path.find('.', nameStart + 1);
    if (dot == std::string::npos) return "";
    return path.substr(0, dot);
}

bool IsWorkFileName(const std::string& path) {
    const std::string base = BaseNameOf(path);
    if (base.empty()) return false;
    const std::string_view extension = std::string_view(path).substr(base.size());
    for (const std::string& ext : RunFileExtensions()) {
        if (EqualIgnoringCase(extension, ext)) return true;
    }
    return false;
}

bool IsRunFileOf(const std::string& document, const std::string& path) {
    const std::string base = BaseNameOf(document);
    if (base.empty() || path.empty()) return false;
    // What does not exist cannot be destroyed. A link is judged by the file it names.
    struct stat entry;
    if (::lstat(path.c_str(), &entry) != 0) return false;
    std::string target = path;
    if (S_ISLNK(entry.st_mode)) {
        std::error_code ec;
        target = std::filesystem::canonical(path, ec).string();
        if (ec) return false;
    }
    // By name first, which costs no further system call (a run with an attachment does this
    // every time); a name that matches is then the same file only when the system says so,
    // whatever the spelling of its folder. (A hard link under another name is not looked for.)
    const std::string_view leaf = LeafOf(target);
    const std::string_view baseLeaf = LeafOf(base);
    if (leaf.size() <= baseLeaf.size() ||
        !EqualIgnoringCase(leaf.substr(0, baseLeaf.size()), baseLeaf)) {
        return false;
    }
    for (const std::string& ext : RunFileExtensions()) {
        if (!EqualIgnoringCase(leaf.substr(baseLeaf.size()), ext)) continue;
        struct stat file, own;
        return ::stat(target.c_str(), &file) == 0 && ::stat((base + ext).c_str(), &own) == 0 &&
               own.st_dev == file.st_dev && own.st_ino == file.st_ino;
    }
    return false;
}
