#pragma once

// A file in a private temporary folder that a fuzz target rewrites with each
// input, for readers that only take a path.
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzTempFile {
public:
    // The folder is made on first use and lives as long as the process.
    explicit FuzzTempFile(const char* name);
    // Replaces the file's contents; false when it could not be written.
    bool Write(const uint8_t* data, size_t size) const;
    const std::string& Path() const { return path_; }
    static const std::string& Folder();

private:
    std::string path_;
};
