#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "image/RxImage.h"

class RxIOFile;
class RxMemFile;
class TiffFileClient;
struct tiff;
typedef struct tiff TIFF;

// TIFF codec on libtiff: decodes one page of a (multi-page) file, encodes
// single pages, several images as the pages of one file, and page by page
// through a handle kept between calls (the append encoder).
class PDFIMPORT_EXPORT RxImageTIF : public RxImage {
public:
    explicit RxImageTIF(DWORD type = RXIMAGE_FORMAT_TIF);
    // Copies the picture; a page file being appended stays with the original.
    RxImageTIF(const RxImageTIF& other);
    RxImageTIF& operator=(const RxImageTIF& other);
    // Finishes a file that the append encoder left open.
    ~RxImageTIF() override;

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);
    // Writes the images as the pages of one file.
    bool Encode(RxFile* file, RxImage** images, int count);
    bool Encode(FILE* stream, RxImage** images, int count);
    // Writes this image as the next page. With append true the file stays
    // open for further pages; with append false it is finished. The pages are
    // assembled in memory and written to the file when it is finished, so the
    // file need not be readable.
    bool Encode(RxFile* file, bool append);
    bool Encode(FILE* stream, bool append);

private:
    struct PageTags;
    void DecodePage(TiffFileClient& client);
    void ReadThroughRgba(TiffFileClient& client, const PageTags& tags);
    void ReadIndexed(TiffFileClient& client, const PageTags& tags);
    static bool ReadsDirectColour(const PageTags& tags);
    void ReadDirectColour(TiffFileClient& client, const PageTags& tags);
    void ReadBands(TiffFileClient& client, const PageTags& tags);
    void TileToStrip(TIFF* tif, const PageTags& tags, uint32_t top, uint32_t rows, uint32_t tileWidth,
                     std::vector<uint8_t>& tile, std::vector<uint8_t>& band, size_t rowBytes);
    void StoreRow(const PageTags& tags, const uint8_t* source, uint32_t y, size_t rowBytes);
    void TakeIndexedPalette(TiffFileClient& client, const PageTags& tags);
    void ApplyOrientation(int orientation);
    void WritePage(TiffFileClient& client, int page, int pages, bool multipage);
    bool EncodePages(RxFile* file, RxImage** images, int count);
    void StartAppend(RxFile* file);
    void FinishAppend(RxFile* file);
    void DropAppend();

    // The append encoder's state: the page file assembled in memory, its
    // handle and the pages written so far.
    std::unique_ptr<RxMemFile> appendBuffer;
    std::unique_ptr<TiffFileClient> appendClient;
    std::unique_ptr<RxIOFile> appendStream;  // wraps a stream handed to the append encoder
    RxFile* appendTarget;
    int32_t appendStart;
    int appendPages;
};
