#pragma once

// What a folder holds for an open-file dialog: its sub-folders and the files
// a filter takes, each group sorted by name with the letter case ignored.
// Hidden names (starting with a dot) are left out, so are entries that are
// neither folders nor regular files (devices, pipes, dangling links), which
// could not be opened as a document. Also the lexical path arithmetic the
// dialog needs, which keeps the user's names for linked folders.

#include <functional>
#include <string>
#include <vector>

struct FolderEntry {
    std::string name;
    bool folder = false;
};

class FolderListing {
public:
    // More entries than this are not read: the folder is too large to be
    // browsed in a list anyway, and a typed path still reaches any file.
    static constexpr size_t kMaxEntries = 65536;

    // Lists `folder`; false and the system's reason when it cannot be read.
    bool Read(const std::string& folder, const std::function<bool(const std::string&)>& acceptFile,
              std::string& error);
    const std::vector<FolderEntry>& Entries() const { return m_entries; }
    // The folder held more than kMaxEntries entries.
    bool Truncated() const { return m_truncated; }

    // An absolute path without ".", ".." or repeated slashes; a relative
    // `path` is taken from `base`, and a leading "~" is the home folder.
    static std::string Resolve(const std::string& base, const std::string& path);
    // The folder holding `path` ("/" for "/").
    static std::string Parent(const std::string& path);
    static std::string Join(const std::string& folder, const std::string& name);
    // The last part of a path.
    static std::string NameOf(const std::string& path);

private:
    std::vector<FolderEntry> m_entries;
    bool m_truncated = false;
};
