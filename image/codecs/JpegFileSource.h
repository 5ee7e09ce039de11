#pragma once

#include <cstdio>

#include <jpeglib.h>

class RxFile;

// The JPEG library's source manager over an RxFile: reads blocks of 4096
// bytes; data that ends before the end-of-image marker gets one supplied (with
// a warning), so a truncated file still yields its rows.
struct JpegFileSource {
    static constexpr size_t kBlockSize = 4096;

    jpeg_source_mgr manager;  // first, so the library's pointer is ours too
    RxFile* file;
    bool atStart;  // nothing read yet: an empty read means an empty input
    bool atEnd;    // the file ran out and an end-of-image marker stands in
    JOCTET block[kBlockSize];

    void Attach(j_decompress_ptr cinfo, RxFile* source);
};
