#pragma once

#include <cstdio>
#include <string>

// Small files at fixed names (settings, results) are opened only when they
// are regular files: a FIFO or device placed at such a name must not block
// or feed the program forever.

// Opens a regular file for reading in binary mode; nullptr when it is
// missing, unreadable or not a regular file.
FILE* OpenRegularFileForReading(const std::string& path);

enum class LinkPolicy { Follow, Refuse };

// Creates the file or replaces it whole with bytes (a new file moved over the
// name, so a failed write leaves the earlier contents). Returns false when it
// can't be created, is not a regular file, is a symbolic link while links are
// refused (a name in a shared folder such as /tmp), or can't be fully written.
// A followed link keeps pointing at the replaced file.
bool ReplaceFileContents(const std::string& path, const std::string& bytes, LinkPolicy links);
