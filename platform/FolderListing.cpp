#include "platform/FolderListing.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool NameLess(const FolderEntry& a, const FolderEntry& b) {
    if (a.folder != b.folder) return a.folder;
    const int folded = strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
}

}  // namespace

bool FolderListing::Read(const std::string& folder, const std::function<bool(const std::string&)>& acceptFile,
                         std::string& error) {
    m_entries.clear();
    m_truncated = false;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        error = std::strerror(errno);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) {
            if (errno != 0) {
                error = std::strerror(errno);
                m_entries.clear();
                return false;
            }
            break;
        }
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;
        if (m_entries.size() >= kMaxEntries) {
            m_truncated = true;
            break;
        }
        // Links count as what they point to.
        struct stat info {};
        if (stat(Join(folder, name).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) m_entries.push_back(FolderEntry{name, true});
        else if (S_ISREG(info.st_mode) && acceptFile && acceptFile(name)) m_entries.push_back(FolderEntry{name, false});
    }
    std::sort(m_entries.begin(), m_entries.end(), NameLess);
    return true;
}

std::string FolderListing::Resolve(const std::string& base, const std::string& path) {
    std::string full = path;
    if (path == "~" || path.compare(0, 2, "~/") == 0) {
        const char* home = std::getenv("HOME");
        full = std::string(home && *home ? home : "/") + "/" + path.substr(1);
    } else if (path.empty() || path[0] != '/') {
        full = base + "/" + path;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& part : parts) resolved += "/" + part;
    return resolved.empty() ? "/" : resolved;
}

std::string FolderListing::Parent(const std::string& path) { return Resolve("/", path + "/.."); }

std::string FolderListing::Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string FolderListing::NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
