#pragma once

#include <cstddef>

// One file compiled into the library by cmake/EmbedFiles.cmake.
struct EmbeddedFile {
    const char* name;
    const unsigned char* data;
    size_t size;
};
