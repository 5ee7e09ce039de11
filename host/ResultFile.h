#pragma once

#include <string>

class ImportOptions;

// The result file PDFInfo.dat that the file-based entry points leave for the
// host: six "Key:value" lines, each ending in CR LF.
class ResultFile {
public:
    // PDFInfo.dat in the user's temporary directory ($TMPDIR, else /tmp/).
    ResultFile();
    explicit ResultFile(std::string path);

    const std::string& Path() const { return m_path; }

    // Creates or replaces the file with the choices of a confirmed import.
    // Returns false when it can't be created or fully written, or when a
    // symbolic link or anything but a regular file stands at its name; the
    // earlier file is then left as it was.
    bool Write(const ImportOptions& options) const;

    // The exact bytes of the file.
    static std::string Text(const ImportOptions& options);

private:
    std::string m_path;
};
