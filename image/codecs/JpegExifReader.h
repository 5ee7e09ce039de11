#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/codecs/RxExifInfo.h"

class RxFile;

// Reads the sections of a JPEG file up to the start of the scan data, without
// decoding the picture, and fills an RxExifInfo from the frame header, the
// first comment and the Exif record.
class JpegExifReader {
public:
    static constexpr int kMaxSections = 20;

    explicit JpegExifReader(RxExifInfo* record);

    // True when an Exif record was found. The file position is restored.
    bool Read(RxFile* file);

private:
    struct Section {
        int marker;
        std::vector<uint8_t> data;  // the section after its two length bytes
    };

    bool ReadSections(RxFile* file);
    void Fail(const char* text, bool print = false);
    void TakeFrame(const Section& section);
    void TakeComment(const Section& section);
    void TakeExif(const Section& section);

    RxExifInfo* record_;
    std::vector<Section> sections_;
};
