#pragma once

#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "platform/Export.h"
#include "platform/WinTypes.h"

class RxFile;
class CDC;
class CBitmap;
struct Icon;

// Image format identifiers, used for an image's type and as the format
// argument of Load, Save, Decode and Encode.
enum ImageFormat : DWORD {
    RXIMAGE_FORMAT_UNKNOWN = 0,  // decoding only: find the format by content
    RXIMAGE_FORMAT_BMP = 1,
    RXIMAGE_FORMAT_GIF = 2,
    RXIMAGE_FORMAT_JPG = 3,
    RXIMAGE_FORMAT_PNG = 4,
    RXIMAGE_FORMAT_TIF = 5,
    RXIMAGE_FORMAT_TGA = 6,
    RXIMAGE_FORMAT_PCX = 7,
    RXIMAGE_FORMAT_WBMP = 8,
    RXIMAGE_FORMAT_PNM = 9,
    RXIMAGE_FORMAT_COUNT = 10
};

// One raster picture held as a packed device-independent bitmap: the 40-byte
// header, the palette (blue, green, red, reserved entries) and the pixel rows,
// bottom row first, each row padded to four bytes. Pixel coordinates count x
// from the left and y from the bottom row.
class PDFIMPORT_EXPORT RxImage {
public:
    // Extended information kept beside the header.
    struct Info {
        DWORD effWidth;        // bytes per pixel row
        BYTE* bits;            // first pixel row inside dib
        RxImage* ghostOf;      // the image whose buffers a ghost borrows
        RxImage* parent;       // the image this one is a layer of
        DWORD type;            // ImageFormat
        char lastError[256];
        LONG progress;         // percent of a long operation
        LONG escape;           // non-zero asks a long operation to stop
        LONG transIndex;       // transparent palette index, -1 for none
        RGBQUAD transColor;    // transparent colour of true-colour images
        BYTE jpegQuality;
        LONG frame;            // frame to decode from multi-frame files
        LONG numFrames;        // frames found by the last decode
        DWORD frameDelay;
        LONG xDpi, yDpi;
        RECT selectionBox;
        BYTE alphaMax;         // overall opacity applied when drawing
        bool alphaPaletteEnabled;
        bool enabled;
        LONG xOffset, yOffset;
        DWORD encodeOption;
        RGBQUAD lastColor;     // cache of the last nearest-index lookup
        BYTE lastColorIndex;
        bool lastColorValid;
        LONG numLayers;
        DWORD flags;
    };

    // Three-byte red, green, blue colour, as some palette sources carry them.
    struct RgbTriple {
        BYTE r, g, b;
    };

    // Rows of selected pixels handed out by SelectionToHRGN: one rectangle
    // (x0, y, x1, y + 1) per run.
    typedef std::vector<RECT> RowRuns;

    // Decoders refuse pictures whose pixel buffer would exceed this many
    // bytes (1 GiB unless changed with SetDecodeLimit).
    static constexpr uint64_t kDefaultDecodeLimit = uint64_t(1) << 30;
    static void SetDecodeLimit(uint64_t bytes);
    static uint64_t GetDecodeLimit();

    // --- construction
    explicit RxImage(DWORD type = 0);
    RxImage(DWORD width, DWORD height, DWORD bpp, DWORD type = 0);
    RxImage(const RxImage& other, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
    RxImage(const char* fileName, DWORD type);
    RxImage(FILE* stream, DWORD type);
    RxImage(RxFile* file, DWORD type);
    RxImage(BYTE* buffer, DWORD size, DWORD type);
    virtual ~RxImage();
    RxImage& operator=(const RxImage& other);

    // --- lifetime
    // Returns the packed bitmap, or none when its size cannot be counted or
    // allocated. The pixel bytes are not cleared.
    void* Create(DWORD width, DWORD height, DWORD bpp, DWORD type = 0);
    bool Destroy();
    void Copy(const RxImage& other, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    bool Transfer(RxImage& other);
    void Clear(BYTE value = 0);

    // --- files
    bool Load(const char* fileName, DWORD type = 0);
    bool Load(const wchar_t* fileName, DWORD type = 0);
    bool Save(const char* fileName, DWORD type);
    bool Save(const wchar_t* fileName, DWORD type);
    bool Decode(RxFile* file, DWORD type);
    bool Decode(FILE* stream, DWORD type);
    bool Decode(BYTE* buffer, DWORD size, DWORD type);
    bool Encode(RxFile* file, DWORD type);
    bool Encode(FILE* stream, DWORD type);
    // Only when buffer is none: on success buffer holds a malloc'ed block
    // (release it with free()) and size its length.
    bool Encode(BYTE*& buffer, LONG& size, DWORD type);
    bool Encode(RxFile* file, RxImage** images, int count, DWORD type);
    bool Encode(FILE* stream, RxImage** images, int count, DWORD type);
    // Decodes the raw resource (resourceType, resourceId) of the platform's
    // resource table.
    bool LoadResource(UINT resourceType, UINT resourceId, DWORD type = 0);

    // --- information
    static const char* GetVersion();
    void* GetDIB() const { return dib; }
    LONG GetWidth() const { return header.biWidth; }
    LONG GetHeight() const { return header.biHeight; }
    DWORD GetEffWidth() const { return info.effWidth; }
    DWORD GetNumColors() const { return header.biClrUsed; }
    WORD GetBpp() const { return header.biBitCount; }
    DWORD GetType() const { return info.type; }
    const char* GetLastError() const { return info.lastError; }
    BYTE* GetBits() const;
    DWORD GetSize() const;
    bool IsValid() const { return dib != nullptr; }
    bool IsIndexed() const { return header.biClrUsed != 0; }
    bool IsInside(LONG x, LONG y) const;
    BYTE GetColorType() const;
    bool IsEnabled() const { return info.enabled; }
    void Enable(bool enable = true) { info.enabled = enable; }
    DWORD GetFrameDelay() const { return info.frameDelay; }
    void SetFrameDelay(DWORD delay) { info.frameDelay = delay; }
    void GetOffset(LONG* x, LONG* y) const;
    void SetOffset(LONG x, LONG y);
    BYTE GetJpegQuality() const { return info.jpegQuality; }
    void SetJpegQuality(BYTE quality) { info.jpegQuality = quality; }
    LONG GetXDPI() const { return info.xDpi; }
    LONG GetYDPI() const { return info.yDpi; }
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);
    LONG GetProgress() const { return info.progress; }
    void SetProgress(LONG progress) { info.progress = progress; }
    LONG GetEscape() const { return info.escape; }
    void SetEscape(LONG escape) { info.escape = escape; }
    LONG GetTransIndex() const { return info.transIndex; }
    void SetTransIndex(LONG index) { info.transIndex = index; }
    RGBQUAD GetTransColor();
    void SetTransColor(RGBQUAD color) { info.transColor = color; }
    bool IsTransparent() const { return info.transIndex >= 0; }
    DWORD GetEncodeOption() const { return info.encodeOption; }
    void SetEncodeOption(DWORD option) { info.encodeOption = option; }
    DWORD GetFlags() const { return info.flags; }
    void SetFlags(DWORD flags, bool lockReserved = true);
    LONG GetNumFrames() const { return info.numFrames; }
    LONG GetFrame() const { return info.frame; }
    void SetFrame(LONG frame) { info.frame = frame; }
    RxImage* GetParent() const { return info.parent; }
    LONG GetNumLayers() const { return info.numLayers; }
    bool SelectionIsValid() const { return selection != nullptr; }
    void SelectionGetBox(RECT& box) const { box = info.selectionBox; }
    bool AlphaIsValid() const { return alpha != nullptr; }
    BYTE AlphaGetMax() const { return info.alphaMax; }
    void AlphaSetMax(BYTE value) { info.alphaMax = value; }
    void AlphaPaletteEnable(bool enable = true) { info.alphaPaletteEnabled = enable; }
    bool AlphaPaletteIsEnabled() const { return info.alphaPaletteEnabled; }

    // --- pixels
    BYTE GetPixelIndex(LONG x, LONG y);
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y);
    BYTE GetPixelGray(LONG x, LONG y);
    void SetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha = false);
    void SetPixelColor(LONG x, LONG y, COLORREF rgb);
    BYTE GetNearestIndex(RGBQUAD color);
    static RGBQUAD RGBtoRGBQUAD(COLORREF rgb);
    static COLORREF RGBQUADtoRGB(RGBQUAD color);
    bool CreateFromARGB(DWORD width, DWORD height, const BYTE* buffer);

    // --- palette
    DWORD GetPaletteSize() const;
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE index);
    bool GetPaletteColor(BYTE index, BYTE* red, BYTE* green, BYTE* blue);
    void SetPaletteColor(BYTE index, BYTE red, BYTE green, BYTE blue, BYTE alphaValue = 0);
    void SetPaletteColor(BYTE index, RGBQUAD color);
    void SetPaletteColor(BYTE index, COLORREF rgb);
    void SetPalette(const RGBQUAD* colors, DWORD count = 256);
    void SetPalette(const BYTE* red, const BYTE* green, const BYTE* blue, DWORD count = 256);
    void SetPalette(const RgbTriple* colors, DWORD count = 256);
    void SetGrayPalette();
    void BlendPalette(COLORREF rgb, LONG percent);
    bool IsGrayScale();
    void SwapIndex(BYTE a, BYTE b);
    void SetStdPalette();

    // --- alpha plane
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(BYTE value);
    void AlphaInvert();
    void AlphaSet(LONG x, LONG y, BYTE value);
    BYTE AlphaGet(LONG x, LONG y);
    bool AlphaCopy(RxImage& other);
    bool AlphaSet(RxImage& other);
    bool AlphaFlip();
    bool AlphaMirror();
    bool AlphaSplit(RxImage* destination);
    bool AlphaPaletteSplit(RxImage* destination);
    void AlphaPaletteClear();
    bool AlphaPaletteIsValid();
    void AlphaStrip();

    // --- selection plane
    bool SelectionCreate();
    bool SelectionDelete();
    bool SelectionClear();
    bool SelectionInvert();
    bool SelectionIsInside(LONG x, LONG y);
    bool SelectionCopy(RxImage& other);
    bool SelectionAddRect(RECT rect);
    bool SelectionAddEllipse(RECT rect);
    bool SelectionAddPolygon(const POINT* points, LONG count);
    bool SelectionAddColor(RGBQUAD color);
    bool SelectionToHRGN(RowRuns* region);

    // --- transforms
    bool GrayScale();
    bool Flip();
    bool Mirror();
    bool RotateLeft(RxImage* destination = nullptr);
    bool RotateRight(RxImage* destination = nullptr);
    bool Rotate(float angle, RxImage* destination = nullptr);
    bool Rotate180(RxImage* destination = nullptr);
    bool Negative();
    bool DecreaseBpp(DWORD bits, bool errorDiffusion, const RGBQUAD* palette = nullptr);
    bool IncreaseBpp(DWORD bits);
    bool Dither(LONG method = 0);
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, RxImage* destination = nullptr);
    bool Crop(const RECT& rect, RxImage* destination = nullptr);
    bool Skew(float xGain, float yGain, LONG xPivot = 0, LONG yPivot = 0);
    bool Resample(LONG newWidth, LONG newHeight, int mode = 1, RxImage* destination = nullptr);
    int ConvertWB();
    int ConvertWB2(RGBQUAD color);

    // --- drawing and platform bitmaps
    LONG Draw(CDC* dc, LONG x, LONG y, LONG cx = -1, LONG cy = -1, const RECT* clip = nullptr);
    LONG Draw(CDC* dc, const RECT& rect, const RECT* clip = nullptr);
    LONG Draw2(CDC* dc, LONG x, LONG y, LONG cx = -1, LONG cy = -1);
    LONG Draw2(CDC* dc, const RECT& rect);
    LONG Stretch(CDC* dc, LONG x, LONG y, LONG cx, LONG cy);
    LONG Stretch(CDC* dc, const RECT& rect);
    LONG Tile(CDC* dc, const RECT* rect);
    LONG DrawTextA(CDC* dc, LONG x, LONG y, const char* text, COLORREF color,
                   const char* fontName, LONG size = 0, LONG weight = 400, BYTE italic = 0,
                   BYTE underline = 0);
    // A malloc'ed copy of the packed bitmap (header, palette, rows), the
    // clipboard's layout; the caller releases it with free().
    void* CopyToHandle() const;
    bool CreateFromHANDLE(const void* packedBitmap, size_t length);
    CBitmap* MakeBitmap(CDC* dc = nullptr);
    bool CreateFromHBITMAP(CBitmap* bitmap);
    bool CreateFromHICON(const Icon* icon);

protected:
    void Startup(DWORD type);
    void CopyInfo(const RxImage& other);
    void Ghost(const RxImage* other);
    void RGBtoBGR(BYTE* buffer, int length);
    void Bitfield2RGB(const BYTE* source, WORD redMask, WORD greenMask, WORD blueMask, BYTE bpp);
    static int CompareColors(const void* a, const void* b);
    float b3spline(float x);

    // --- the codec frame shared by the codec classes
    // Copies at most 255 characters into lastError.
    void SetLastError(const char* text);
    // Throws "Cancelled" when escape is set; decoders call it once per row.
    void ThrowIfCancelled() const;
    // True when a width x height x bpp picture fits the decode limit.
    static bool FitsDecodeLimit(uint64_t width, uint64_t height, uint64_t bpp);
    // Runs a codec body that throws its error text (const char* or
    // std::string); the text
    // (or a memory failure) ends up in lastError and the result is false.
    template <class Body>
    bool RunCodec(Body&& body) noexcept;

    void* dib;
    BITMAPINFOHEADER header;
    Info info;
    BYTE* selection;
    BYTE* alpha;
    RxImage** layers;

private:
    static bool PixelBytes(uint64_t width, uint64_t height, DWORD bpp, uint64_t* effWidth,
                           uint64_t* imageBytes);
    bool DecodeByContent(RxFile* file);
    // Drawing: for each column and row of the paint box, the source pixel.
    void SourceMaps(LONG x, LONG y, LONG cx, LONG cy, const RECT& paint, std::vector<LONG>* columns,
                    std::vector<LONG>* rows) const;
    void DrawScaled(CDC* dc, LONG x, LONG y, LONG cx, LONG cy, const RECT& paint);
    void DrawBlended(CDC* dc, LONG x, LONG y, LONG cx, LONG cy, const RECT& paint);
    bool DecodeWith(RxFile* file, DWORD type);

    // --- shared steps of the pixel operations
    // Starts `fresh` as a new picture that carries this image's information
    // (no layers, no planes); false when it cannot be allocated.
    bool CreateLike(RxImage& fresh, DWORD width, DWORD height, DWORD bpp) const;
    // CreateLike for a turned copy: same palette, no selection, an alpha
    // plane when this image has one.
    bool CreateTurned(RxImage& fresh, DWORD width, DWORD height, DWORD bpp) const;
    // Moves a finished picture into `destination`, or into this image (which
    // keeps its layers) when there is none.
    void AdoptResult(RxImage& fresh, RxImage* destination);
    // Publishes the progress of `row` out of `rows`; false once asked to stop.
    bool NextRow(int64_t row, int64_t rows);
    size_t PlaneBytes() const;
    // A copy of this image's plane (alpha or selection) for `fresh`, which
    // has the same size; false when it cannot be allocated.
    static bool CopyPlane(const BYTE* source, BYTE*& target, size_t bytes);
    void ClearSelectionBox();
    // Replaces the picture with a black (0) and white (1) one; `isWhite`
    // decides each pixel's colour against `reference`.
    int ConvertToBlackWhite(bool (*isWhite)(RGBQUAD color, RGBQUAD reference), RGBQUAD reference);
};

template <class Body>
bool RxImage::RunCodec(Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (const char* text) {
        SetLastError(text);
    } catch (const std::string& text) {
        SetLastError(text.c_str());
    } catch (const std::bad_alloc&) {
        SetLastError("Can't allocate memory");
    } catch (...) {
        SetLastError("Unexpected decoder failure");
    }
    return false;
}
