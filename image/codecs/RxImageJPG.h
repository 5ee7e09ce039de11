#pragma once

#include "image/RxImage.h"
#include "image/codecs/RxExifInfo.h"

// JPEG codec on the IJG JPEG library. Decodes grey, colour and CMYK files
// (optionally quantised to a palette) and writes grey and colour files.
class PDFIMPORT_EXPORT RxImageJPG : public RxImage {
public:
    explicit RxImageJPG(DWORD type = RXIMAGE_FORMAT_JPG);
    RxImageJPG(const RxImageJPG& other);
    RxImageJPG& operator=(const RxImageJPG& other);
    ~RxImageJPG() override;

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

    // Reads the file's sections up to the scan data without decoding the
    // picture and fills the Exif record; true when the file carries an Exif
    // record. The file position is kept.
    bool DecodeExif(RxFile* file);
    bool DecodeExif(FILE* stream);
    const RxExifInfo& GetExifInfo() const { return exif; }

    // Asks the decoder to quantise the picture to at most `colors` palette
    // entries (2 to 256) and deliver an 8-bit palette image; 0 (the default)
    // decodes full grey or colour.
    void SetDecodeColors(int colors) { decodeColors = colors; }
    int GetDecodeColors() const { return decodeColors; }

private:
    void TakeResolution(bool fromExif, int densityUnit, int xDensity, int yDensity);

    RxExifInfo exif;
    int decodeColors;
};
