#pragma once

#include <vector>

#include "image/RxImage.h"

class RxByteReader;
class RxByteWriter;

// GIF pictures and animations. Decoding reads one frame (the image's frame),
// mixing it over the frames before it where the file asks for that; encoding
// writes palette images, animations of several images, and true-colour
// images as tiles of at most 17 x 15 pixels with a palette each.
class PDFIMPORT_EXPORT RxImageGIF : public RxImage {
public:
    explicit RxImageGIF(DWORD type = RXIMAGE_FORMAT_GIF);
    RxImageGIF(const RxImageGIF& other);
    RxImageGIF& operator=(const RxImageGIF& other);
    ~RxImageGIF() override;

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);
    // An animation of count palette images, each with its own colour table.
    bool Encode(RxFile* file, RxImage** images, int count, bool localColorMap = true);
    bool Encode(FILE* stream, RxImage** images, int count, bool localColorMap = true);

    // Repeat count of an animation: 0 repeats forever, 1 plays once (no loop
    // extension is written).
    void SetLoops(int loops);
    int GetLoops() const;
    void SetDisposalMethod(int method);
    int GetDisposalMethod() const;
    // At most 255 characters are kept.
    void SetComment(const char* text);
    // buffer must hold 256 characters.
    void GetComment(char* buffer) const;

protected:
    // What a graphic control extension says about the next image.
    struct Control {
        int disposal = 0;
        LONG transIndex = -1;
        DWORD delay = 0;
    };
    struct Descriptor {
        LONG left, top, width, height;
        BYTE flags;
    };

    void DecodeExtension(RxByteReader& in, Control& control);
    // Counts the image descriptors; a comment anywhere in the file is kept.
    int get_num_frames(RxByteReader& in);
    void ReadComment(RxByteReader& in);
    void decoder(RxByteReader& in, RxImage& target, const Descriptor& desc);
    void GifMix(RxImage& canvas, RxImage& frameImage, LONG screenWidth, LONG screenHeight);

    void EncodeHeader(RxImage& image, bool globalTable, LONG screenWidth, LONG screenHeight);
    void EncodeLoopExtension();
    void EncodeExtension(RxImage& image, int disposal);
    void EncodeComment();
    void EncodeBody(RxImage& image, bool localColorMap);
    void EncodeRGB();
    void compressNONE(int initBits);
    void compressLZW(int initBits);
    void compressRLE(int initBits);
    void output(int code);
    void char_out(BYTE c);
    void flush_char();
    void Putword(int value);
    int GifNextPixel();
    void cl_hash();

private:
    void FinishFile();
    static void GrowScreen(RxImage& image, LONG* screenWidth, LONG* screenHeight);
    void StartCodes(int initBits);

    int loops;
    int disposal;
    char comment[256];

    // Encoder state: the open file, the image being coded and the code packer.
    RxByteWriter* out = nullptr;
    RxImage* source = nullptr;
    LONG sourceRow = 0, sourceX = 0;
    std::vector<BYTE> sourceLine;
    int initialBits = 0, codeBits = 0, clearCode = 0, endCode = 0, freeCode = 0;
    bool firstAfterClear = true;
    uint32_t bitAccumulator = 0;
    int bitCount = 0;
    BYTE packet[256];
    int packetLength = 0;
    std::vector<int32_t> hashTable;
    std::vector<uint16_t> codeTable;
};
