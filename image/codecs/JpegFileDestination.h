#pragma once

#include <cstdio>

#include <jpeglib.h>

class RxFile;

// The JPEG library's destination manager over an RxFile: hands the library a
// block of 4096 bytes and writes it out when full; a short write is a library
// error.
struct JpegFileDestination {
    static constexpr size_t kBlockSize = 4096;

    jpeg_destination_mgr manager;  // first, so the library's pointer is ours too
    RxFile* file;
    JOCTET block[kBlockSize];

    void Attach(j_compress_ptr cinfo, RxFile* target);
};
