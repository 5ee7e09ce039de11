#pragma once

// The file types of an open-file dialog, from the classic filter text
// "Description|pattern;pattern|...||". Patterns are shell wildcards matched
// against file names with the letter case ignored, as on the system the
// filter texts come from ("*.PDF" takes "a.pdf" and "B.Pdf").

#include <string>
#include <vector>

struct FileType {
    std::string description;
    std::vector<std::string> patterns;
};

class FileTypeFilter {
public:
    // An empty or pattern-less text gives one type that takes every file.
    static FileTypeFilter Parse(const std::string& filterText);

    const std::vector<FileType>& Types() const { return m_types; }
    // Whether file `name` matches a pattern of type `typeIndex` (false for
    // an index out of range).
    bool Matches(size_t typeIndex, const std::string& name) const;
    // The extension a name without one gets: "*.PDF" gives "PDF"; empty for
    // none or a wildcard.
    static std::string ExtensionOf(const std::string& defaultExtension);
    // A pattern that matches in any letter case where only exact case is
    // understood: "*.pdf" becomes "*.[pP][dD][fF]".
    static std::string AnyCaseGlob(const std::string& pattern);

private:
    std::vector<FileType> m_types;
};
