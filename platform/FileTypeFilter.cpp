#include "platform/FileTypeFilter.h"

#include <fnmatch.h>

#include <cctype>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

}  // namespace

FileTypeFilter FileTypeFilter::Parse(const std::string& filterText) {
    FileTypeFilter filter;
    const std::vector<std::string> fields = Split(filterText, '|');
    // Fields come in pairs; the empty fields of the closing "||" end the list.
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty() && fields[i + 1].empty()) break;
        FileType type;
        type.description = fields[i];
        for (const std::string& pattern : Split(fields[i + 1], ';'))
            if (!Trim(pattern).empty()) type.patterns.push_back(Trim(pattern));
        if (!type.patterns.empty()) filter.m_types.push_back(type);
    }
    if (filter.m_types.empty()) filter.m_types.push_back(FileType{"All files (*.*)", {"*"}});
    return filter;
}

bool FileTypeFilter::Matches(size_t typeIndex, const std::string& name) const {
    if (typeIndex >= m_types.size()) return false;
    for (const std::string& pattern : m_types[typeIndex].patterns) {
        // "*.*" means every file on the system the filters come from, dot or not.
        if (pattern == "*" || pattern == "*.*") return true;
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0) return true;
    }
    return false;
}

std::string FileTypeFilter::ExtensionOf(const std::string& defaultExtension) {
    std::string extension = Trim(defaultExtension);
    if (extension.compare(0, 2, "*.") == 0) extension.erase(0, 2);
    else if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    if (extension.find_first_of("*?[/") != std::string::npos) return std::string();
    return extension;
}

std::string FileTypeFilter::AnyCaseGlob(const std::string& pattern) {
    std::string glob;
    bool inClass = false;
    for (char c : pattern) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '[') inClass = true;
        else if (c == ']') inClass = false;
        if (!inClass && std::isalpha(u) && std::tolower(u) != std::toupper(u)) {
            glob += '[';
            glob += char(std::tolower(u));
            glob += char(std::toupper(u));
            glob += ']';
        } else {
            glob += c;
        }
    }
    return glob;
}
