#include "image/codecs/RxImageGIF.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/GifLzwDecoder.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxByteWriter.h"

namespace {

constexpr int kHashSize = 5003;
constexpr int kMaxCode = 4096;
constexpr LONG kTileWidth = 17, kTileHeight = 15;

void SkipSubBlocks(RxByteReader& in) {
    for (;;) {
        int size = in.GetByte();
        if (size <= 0 || !in.Skip(uint64_t(size))) return;
    }
}

// Bits per pixel of a frame with a colour table of the given size.
DWORD FrameBpp(DWORD entries) {
    if (entries <= 2) return 1;
    if (entries <= 16) return 4;
    return 8;
}

bool SamePalette(const RxImage& a, const RxImage& b) {
    return a.GetBpp() == b.GetBpp() && a.GetNumColors() == b.GetNumColors() && a.GetPalette() &&
           b.GetPalette() && std::memcmp(a.GetPalette(), b.GetPalette(), a.GetPaletteSize()) == 0;
}

// The row index and colour of a pixel, for palette images of any depth.
BYTE IndexAt(const BYTE* row, WORD bpp, LONG x) {
    switch (bpp) {
    case 8: return row[x];
    case 4: return BYTE((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    default: return BYTE((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void PutIndex(BYTE* row, WORD bpp, LONG x, BYTE index) {
    switch (bpp) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        BYTE& b = row[x >> 1];
        b = (x & 1) ? BYTE((b & 0xF0) | (index & 0x0F)) : BYTE((b & 0x0F) | (index << 4));
        break;
    }
    default: {
        BYTE mask = BYTE(0x80 >> (x & 7));
        BYTE& b = row[x >> 3];
        b = (index & 1) ? BYTE(b | mask) : BYTE(b & ~mask);
    }
    }
}

}  // namespace

RxImageGIF::RxImageGIF(DWORD type) : RxImage(type), loops(0), disposal(0) {
    comment[0] = '\0';
}

RxImageGIF::RxImageGIF(const RxImageGIF& other)
    : RxImage(other), loops(other.loops), disposal(other.disposal) {
    std::memcpy(comment, other.comment, sizeof(comment));
}

RxImageGIF& RxImageGIF::operator=(const RxImageGIF& other) {
    if (this != &other) {
        RxImage::operator=(other);
        loops = other.loops;
        disposal = other.disposal;
        std::memcpy(comment, other.comment, sizeof(comment));
    }
    return *this;
}

RxImageGIF::~RxImageGIF() {}

void RxImageGIF::SetLoops(int value) {
    loops = value;
}

int RxImageGIF::GetLoops() const {
    return loops;
}

void RxImageGIF::SetDisposalMethod(int method) {
    disposal = method & 7;
}

int RxImageGIF::GetDisposalMethod() const {
    return disposal;
}

void RxImageGIF::SetComment(const char* text) {
    if (!text) text = "";
    std::strncpy(comment, text, sizeof(comment) - 1);
    comment[sizeof(comment) - 1] = '\0';
}

void RxImageGIF::GetComment(char* buffer) const {
    if (buffer) std::strcpy(buffer, comment);
}

bool RxImageGIF::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageGIF::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageGIF::Encode(FILE* stream, RxImage** images, int count, bool localColorMap) {
    RxIOFile file(stream);
    return Encode(stream ? &file : nullptr, images, count, localColorMap);
}

// ---------------------------------------------------------------- decoding

bool RxImageGIF::Decode(RxFile* file) {
    if (!file) return false;
    RxByteReader in(file);
    uint8_t head[13];
    if (!in.Read(head, sizeof(head)) || std::memcmp(head, "GIF8", 4) != 0) return false;
    return RunCodec([&] {
        const LONG screenWidth = RxByteReader::Le16(head + 6);
        const LONG screenHeight = RxByteReader::Le16(head + 8);
        const BYTE screenFlags = head[10];
        std::vector<uint8_t> globalTable;
        if (screenFlags & 0x80) {
            globalTable.resize(size_t(3) << ((screenFlags & 7) + 1));
            if (!in.Read(globalTable.data(), globalTable.size())) throw "corrupted GIF";
        }
        const int64_t dataStart = in.Tell();
        info.numFrames = get_num_frames(in);
        if (!in.SeekTo(dataStart)) throw "corrupted GIF";
        if (info.frame < 0 || info.frame >= info.numFrames) throw "GIF frame out of range";

        const LONG wanted = info.frame, frames = info.numFrames;
        loops = 1;
        Control control;
        int previousDisposal = 0;
        LONG index = 0;
        RxImage canvas;
        for (;;) {
            int block = in.GetByte();
            if (block == 0x21) {
                DecodeExtension(in, control);
                continue;
            }
            if (block != 0x2C) break;
            uint8_t raw[9];
            if (!in.Read(raw, sizeof(raw))) throw "corrupted GIF";
            Descriptor desc{RxByteReader::Le16(raw), RxByteReader::Le16(raw + 2), RxByteReader::Le16(raw + 4),
                            RxByteReader::Le16(raw + 6), raw[8]};
            std::vector<uint8_t> localTable;
            if (desc.flags & 0x80) {
                localTable.resize(size_t(3) << ((desc.flags & 7) + 1));
                if (!in.Read(localTable.data(), localTable.size())) throw "corrupted GIF";
            }
            const LONG current = index++;
            if (desc.width == 0 || desc.height == 0 || desc.left + desc.width > screenWidth ||
                desc.top + desc.height > screenHeight) {
                // A frame outside its logical screen is skipped.
                if (in.GetByte() < 0) throw "corrupted GIF";
                SkipSubBlocks(in);
                if (current == wanted) throw "GIF frame lies outside the logical screen";
                control = Control();
                continue;
            }
            const std::vector<uint8_t>& table = localTable.empty() ? globalTable : localTable;
            DWORD entries = table.empty() ? 256 : DWORD(table.size() / 3);
            RxImage frameImage;
            if (!FitsDecodeLimit(DWORD(desc.width), DWORD(desc.height), 8) ||
                !frameImage.Create(DWORD(desc.width), DWORD(desc.height), FrameBpp(entries), info.type))
                throw "Can't allocate memory";
            if (table.empty()) {
                frameImage.SetGrayPalette();
            } else {
                std::vector<RGBQUAD> colors(frameImage.GetNumColors(), RGBQUAD{0, 0, 0, 0});
                // With a transparent colour, unused entries are white.
                if (control.transIndex >= 0) std::fill(colors.begin(), colors.end(), RGBQUAD{255, 255, 255, 0});
                for (DWORD i = 0; i < entries && i < colors.size(); ++i)
                    colors[i] = RGBQUAD{table[3 * i + 2], table[3 * i + 1], table[3 * i], 0};
                frameImage.SetPalette(colors.data(), DWORD(colors.size()));
            }
            frameImage.SetTransIndex(control.transIndex);
            frameImage.SetFrameDelay(control.delay);
            frameImage.SetOffset(desc.left, desc.top);
            decoder(in, frameImage, desc);

            const bool wholeScreen = desc.left == 0 && desc.top == 0 && desc.width == screenWidth &&
                                     desc.height == screenHeight;
            if (current > 0 && canvas.IsValid() && previousDisposal == 1 && !wholeScreen)
                GifMix(canvas, frameImage, screenWidth, screenHeight);
            else
                canvas.Transfer(frameImage);
            previousDisposal = control.disposal;
            disposal = control.disposal;
            control = Control();
            if (current == wanted) break;
        }
        if (index <= wanted || !canvas.IsValid()) throw "corrupted GIF";
        int savedLoops = loops;
        Transfer(canvas);
        loops = savedLoops;
        info.numFrames = frames;
        info.frame = wanted;
    });
}

void RxImageGIF::DecodeExtension(RxByteReader& in, Control& control) {
    int label = in.GetByte();
    if (label < 0) throw "corrupted GIF";
    if (label == 0xF9) {
        int size = in.GetByte();
        uint8_t raw[255];
        if (size < 0 || !in.Read(raw, size_t(size))) throw "corrupted GIF";
        if (size >= 4) {
            control.disposal = (raw[0] >> 2) & 7;
            control.delay = RxByteReader::Le16(raw + 1);
            control.transIndex = (raw[0] & 1) ? LONG(raw[3]) : -1;
            info.frameDelay = control.delay;
        }
    } else if (label == 0xFF) {
        int size = in.GetByte();
        uint8_t raw[255];
        if (size < 0 || !in.Read(raw, size_t(size))) throw "corrupted GIF";
        if (size == 11 && std::memcmp(raw, "NETSCAPE2.0", 11) == 0) {
            int length = in.GetByte();
            if (length < 0 || !in.Read(raw, size_t(length))) throw "corrupted GIF";
            if (length >= 3 && raw[0] == 1) {
                int count = RxByteReader::Le16(raw + 1);
                // The file holds the repeats after the first play; 0 is forever.
                loops = count == 0 ? 0 : count + 1;
            }
            if (length == 0) return;
        }
    } else if (label == 0xFE) {
        ReadComment(in);
        return;
    }
    SkipSubBlocks(in);
}

void RxImageGIF::ReadComment(RxByteReader& in) {
    size_t used = 0;
    comment[0] = '\0';
    for (;;) {
        int size = in.GetByte();
        if (size <= 0) return;
        uint8_t raw[255];
        if (!in.Read(raw, size_t(size))) return;
        size_t take = std::min(size_t(size), sizeof(comment) - 1 - used);
        std::memcpy(comment + used, raw, take);
        used += take;
        comment[used] = '\0';
    }
}

int RxImageGIF::get_num_frames(RxByteReader& in) {
    int count = 0;
    for (;;) {
        int block = in.GetByte();
        if (block == 0x21) {
            int label = in.GetByte();
            if (label < 0) break;
            if (label == 0xFE)
                ReadComment(in);
            else
                SkipSubBlocks(in);
        } else if (block == 0x2C) {
            uint8_t raw[9];
            if (!in.Read(raw, sizeof(raw))) break;
            if ((raw[8] & 0x80) && !in.Skip(uint64_t(3) << ((raw[8] & 7) + 1))) break;
            if (in.GetByte() < 0) break;
            ++count;
            SkipSubBlocks(in);
        } else {
            break;
        }
    }
    return count;
}

// Decodes one frame's LZW data into target, storing the rows in their
// interlaced or plain order.
void RxImageGIF::decoder(RxByteReader& in, RxImage& target, const Descriptor& desc) {
    int minCodeSize = in.GetByte();
    if (minCodeSize < 0) throw "corrupted GIF";
    if (minCodeSize < 2 || minCodeSize > 9) throw "corrupted GIF: bad LZW code size";
    const size_t width = size_t(desc.width), height = size_t(desc.height);
    std::vector<uint8_t> pixels(width * height);
    auto lzw = std::make_unique<GifLzwDecoder>(in, minCodeSize);
    size_t produced = lzw->Decode(pixels.data(), pixels.size());
    lzw->SkipRest();
    if (produced < pixels.size()) throw "corrupted GIF: image data ends early";

    const WORD bpp = target.GetBpp();
    const bool interlaced = (desc.flags & 0x40) != 0;
    static const LONG passStart[4] = {0, 4, 2, 1}, passStep[4] = {8, 8, 4, 2};
    int pass = 0;
    LONG row = 0;
    for (size_t line = 0; line < height; ++line) {
        ThrowIfCancelled();
        if (interlaced) {
            while (row >= LONG(height)) {
                ++pass;
                row = passStart[pass];
            }
        }
        BYTE* bits = target.GetBits() + size_t(LONG(height) - 1 - row) * target.GetEffWidth();
        const uint8_t* source = pixels.data() + line * width;
        if (bpp == 8) {
            std::memcpy(bits, source, width);
        } else {
            for (size_t x = 0; x < width; ++x) PutIndex(bits, bpp, LONG(x), source[x]);
        }
        row += interlaced ? passStep[pass] : 1;
    }
}

// Paints frameImage over the canvas at its position, leaving its transparent
// pixels out. The canvas grows to the logical screen first; when the two
// palettes differ it becomes a true-colour picture so that both keep their
// colours.
void RxImageGIF::GifMix(RxImage& canvas, RxImage& frameImage, LONG screenWidth, LONG screenHeight) {
    LONG canvasX = 0, canvasY = 0;
    canvas.GetOffset(&canvasX, &canvasY);
    const bool samePalette = SamePalette(canvas, frameImage);
    const bool trueColour = canvas.GetBpp() == 24;
    if (canvas.GetWidth() != screenWidth || canvas.GetHeight() != screenHeight || canvasX || canvasY ||
        (!samePalette && !trueColour)) {
        RxImage grown;
        const DWORD bpp = samePalette ? canvas.GetBpp() : 24;
        if (!FitsDecodeLimit(DWORD(screenWidth), DWORD(screenHeight), bpp) ||
            !grown.Create(DWORD(screenWidth), DWORD(screenHeight), bpp, canvas.GetType()))
            throw "Can't allocate memory";
        grown.Clear(0);
        if (samePalette) {
            grown.SetPalette(canvas.GetPalette(), canvas.GetNumColors());
            LONG background = canvas.GetTransIndex();
            if (background > 0)
                for (LONG y = 0; y < screenHeight; ++y)
                    for (LONG x = 0; x < screenWidth; ++x) grown.SetPixelIndex(x, y, BYTE(background));
            grown.SetTransIndex(canvas.GetTransIndex());
        }
        for (LONG y = 0; y < canvas.GetHeight(); ++y) {
            LONG screenRow = canvasY + canvas.GetHeight() - 1 - y;  // from the top
            if (screenRow >= screenHeight) continue;
            LONG gy = screenHeight - 1 - screenRow;
            for (LONG x = 0; x < canvas.GetWidth() && canvasX + x < screenWidth; ++x) {
                if (samePalette)
                    grown.SetPixelIndex(canvasX + x, gy, canvas.GetPixelIndex(x, y));
                else
                    grown.SetPixelColor(canvasX + x, gy, canvas.GetPixelColor(x, y));
            }
        }
        grown.SetFrameDelay(canvas.GetFrameDelay());
        canvas.Transfer(grown);
        canvas.SetOffset(0, 0);
    }
    LONG left = 0, top = 0;
    frameImage.GetOffset(&left, &top);
    const LONG trans = frameImage.GetTransIndex();
    const WORD bpp = frameImage.GetBpp();
    for (LONG y = 0; y < frameImage.GetHeight(); ++y) {
        const BYTE* row = frameImage.GetBits() + size_t(y) * frameImage.GetEffWidth();
        LONG cy = screenHeight - 1 - (top + frameImage.GetHeight() - 1 - y);
        for (LONG x = 0; x < frameImage.GetWidth(); ++x) {
            BYTE index = IndexAt(row, bpp, x);
            if (LONG(index) == trans) continue;
            if (samePalette)
                canvas.SetPixelIndex(left + x, cy, index);
            else
                canvas.SetPixelColor(left + x, cy, frameImage.GetPaletteColor(index));
        }
    }
    canvas.SetFrameDelay(frameImage.GetFrameDelay());
}

// ---------------------------------------------------------------- encoding

bool RxImageGIF::Encode(RxFile* file) {
    if (!file) {
        SetLastError("Can't open GIF for writing");
        return false;
    }
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        RxByteWriter writer(file);
        out = &writer;
        struct Release {
            RxByteWriter*& out;
            ~Release() { out = nullptr; }
        } release{out};
        if (GetBpp() > 8) {
            EncodeRGB();
        } else {
            LONG screenWidth = 0, screenHeight = 0;
            GrowScreen(*this, &screenWidth, &screenHeight);
            EncodeHeader(*this, true, screenWidth, screenHeight);
            EncodeExtension(*this, disposal);
            EncodeBody(*this, false);
            EncodeComment();
        }
        FinishFile();
    });
}

bool RxImageGIF::Encode(RxFile* file, RxImage** images, int count, bool localColorMap) {
    return RunCodec([&] {
        if (!file) throw "invalid file pointer";
        if (!images || count <= 0) throw "multipage GIF, no images!";
        LONG screenWidth = 0, screenHeight = 0;
        for (int i = 0; i < count; ++i) {
            if (!images[i] || !images[i]->IsValid() || images[i]->GetBpp() > 8) throw "Bad image pointer";
            GrowScreen(*images[i], &screenWidth, &screenHeight);
        }
        RxByteWriter writer(file);
        out = &writer;
        struct Release {
            RxByteWriter*& out;
            ~Release() { out = nullptr; }
        } release{out};
        EncodeHeader(*images[0], true, screenWidth, screenHeight);
        if (loops != 1) EncodeLoopExtension();
        for (int i = 0; i < count; ++i) {
            EncodeExtension(*images[i], disposal);
            // The first image's colours are the global table.
            EncodeBody(*images[i], localColorMap && !(i == 0 && SamePalette(*images[0], *images[i])));
        }
        EncodeComment();
        FinishFile();
    });
}

// The logical screen must hold every frame at its position, or readers skip
// the frame.
void RxImageGIF::GrowScreen(RxImage& image, LONG* screenWidth, LONG* screenHeight) {
    LONG left = 0, top = 0;
    image.GetOffset(&left, &top);
    if (left < 0 || top < 0 || left > 0xFFFF || top > 0xFFFF) throw "Bad image offset for GIF";
    int64_t right = int64_t(left) + image.GetWidth(), bottom = int64_t(top) + image.GetHeight();
    if (right > 0xFFFF || bottom > 0xFFFF) throw "Image too large for GIF";
    *screenWidth = std::max(*screenWidth, LONG(right));
    *screenHeight = std::max(*screenHeight, LONG(bottom));
}

void RxImageGIF::FinishFile() {
    out->Put(0x3B);
    if (!out->Finish()) throw "Write Error in GIF file";
}

void RxImageGIF::EncodeHeader(RxImage& image, bool globalTable, LONG screenWidth, LONG screenHeight) {
    out->Write("GIF89a", 6);
    Putword(screenWidth);
    Putword(screenHeight);
    const int bits = image.GetBpp() <= 8 ? image.GetBpp() : 8;
    if (!globalTable) {
        out->Put(BYTE((bits - 1) << 4));
        out->Put(0);
        out->Put(0);
        return;
    }
    out->Put(BYTE(0x80 | ((bits - 1) << 5) | (bits - 1)));
    out->Put(0);  // background
    out->Put(0);  // aspect
    const RGBQUAD* palette = image.GetPalette();
    for (DWORD i = 0; i < (DWORD(1) << bits); ++i) {
        RGBQUAD c = palette && i < image.GetNumColors() ? palette[i] : RGBQUAD{0, 0, 0, 0};
        out->Put(c.rgbRed);
        out->Put(c.rgbGreen);
        out->Put(c.rgbBlue);
    }
}

void RxImageGIF::EncodeLoopExtension() {
    out->Put(0x21);
    out->Put(0xFF);
    out->Put(11);
    out->Write("NETSCAPE2.0", 11);
    out->Put(3);
    out->Put(1);
    Putword(std::max(loops - 1, 0));
    out->Put(0);
}

void RxImageGIF::EncodeExtension(RxImage& image, int method) {
    const LONG trans = image.GetTransIndex();
    out->Put(0x21);
    out->Put(0xF9);
    out->Put(4);
    out->Put(BYTE(((method << 2) & 0x1C) | (trans >= 0 ? 1 : 0)));
    Putword(int(image.GetFrameDelay()));
    out->Put(BYTE(trans >= 0 ? trans : 0));
    out->Put(0);
}

void RxImageGIF::EncodeComment() {
    size_t length = std::strlen(comment);
    if (length == 0) return;
    out->Put(0x21);
    out->Put(0xFE);
    out->Put(BYTE(length));
    out->Write(comment, length);
    out->Put(0);
}

void RxImageGIF::EncodeBody(RxImage& image, bool localColorMap) {
    const int bits = image.GetBpp();
    LONG left = 0, top = 0;
    image.GetOffset(&left, &top);
    out->Put(0x2C);
    Putword(left);
    Putword(top);
    Putword(image.GetWidth());
    Putword(image.GetHeight());
    out->Put(localColorMap ? BYTE(0x80 | (bits - 1)) : 0);
    if (localColorMap) {
        const RGBQUAD* palette = image.GetPalette();
        for (DWORD i = 0; i < (DWORD(1) << bits); ++i) {
            RGBQUAD c = i < image.GetNumColors() ? palette[i] : RGBQUAD{0, 0, 0, 0};
            out->Put(c.rgbRed);
            out->Put(c.rgbGreen);
            out->Put(c.rgbBlue);
        }
    }
    const int minCodeSize = std::max(bits, 2);
    out->Put(BYTE(minCodeSize));

    source = &image;
    sourceRow = image.GetHeight() - 1;
    sourceX = image.GetWidth();
    sourceLine.assign(size_t(image.GetWidth()), 0);
    switch (info.encodeOption) {
    case 1: compressNONE(minCodeSize + 1); break;
    case 2: compressLZW(minCodeSize + 1); break;
    default: compressRLE(minCodeSize + 1); break;
    }
    source = nullptr;
    out->Put(0);
}

// True colour: tiles of at most 17 x 15 pixels, each an 8-bit frame whose
// palette holds its pixels' colours (index row x 17 + column + 1), index 0
// being the transparent colour when the image has one.
void RxImageGIF::EncodeRGB() {
    const LONG width = GetWidth(), height = GetHeight();
    const bool transparent = info.transIndex >= 0;
    if (width > 0xFFFF || height > 0xFFFF) throw "Image too large for GIF";
    EncodeHeader(*this, false, width, height);
    for (LONG top = 0; top < height; top += kTileHeight) {
        for (LONG left = 0; left < width; left += kTileWidth) {
            ThrowIfCancelled();
            const LONG tileWidth = std::min(kTileWidth, width - left);
            const LONG tileHeight = std::min(kTileHeight, height - top);
            RxImage tile;
            if (!tile.Create(DWORD(tileWidth), DWORD(tileHeight), 8, info.type)) throw "Can't allocate memory";
            tile.Clear(0);
            if (transparent) tile.SetPaletteColor(0, info.transColor);
            for (LONG r = 0; r < tileHeight; ++r) {
                const LONG y = height - 1 - (top + r);
                const BYTE* pixel = info.bits + size_t(y) * info.effWidth + size_t(left) * 3;
                BYTE* target = tile.GetBits() + size_t(tileHeight - 1 - r) * tile.GetEffWidth();
                for (LONG c = 0; c < tileWidth; ++c, pixel += 3) {
                    const RGBQUAD color{pixel[0], pixel[1], pixel[2], 0};
                    if (transparent && color.rgbBlue == info.transColor.rgbBlue &&
                        color.rgbGreen == info.transColor.rgbGreen && color.rgbRed == info.transColor.rgbRed)
                        continue;  // index 0
                    const BYTE index = BYTE(r * kTileWidth + c + 1);
                    tile.SetPaletteColor(index, color);
                    target[c] = index;
                }
            }
            tile.SetOffset(left, top);
            tile.SetTransIndex(transparent ? 0 : -1);
            tile.SetFrameDelay(0);
            // Each tile stays on the screen under the next ones.
            EncodeExtension(tile, 1);
            EncodeBody(tile, true);
        }
    }
    EncodeComment();
}

void RxImageGIF::Putword(int value) {
    out->Put16(uint16_t(value));
}

// Next pixel index of the source image, from the top row down; -1 at the end.
int RxImageGIF::GifNextPixel() {
    if (sourceX >= source->GetWidth()) {
        if (sourceRow < 0) return -1;
        const BYTE* row = source->GetBits() + size_t(sourceRow) * source->GetEffWidth();
        const WORD bpp = source->GetBpp();
        if (bpp == 8) {
            std::memcpy(sourceLine.data(), row, sourceLine.size());
        } else {
            for (LONG x = 0; x < source->GetWidth(); ++x) sourceLine[size_t(x)] = IndexAt(row, bpp, x);
        }
        --sourceRow;
        sourceX = 0;
        if (sourceLine.empty()) return -1;
    }
    return sourceLine[size_t(sourceX++)];
}

// ---------------------------------------------------------------- code packing

void RxImageGIF::StartCodes(int initBits) {
    initialBits = initBits;
    codeBits = initBits;
    clearCode = 1 << (initBits - 1);
    endCode = clearCode + 1;
    freeCode = clearCode + 2;
    firstAfterClear = true;
    bitAccumulator = 0;
    bitCount = 0;
    packetLength = 0;
}

// Writes one code, least significant bit first, and follows the code width a
// decoder uses: it adds a table entry for every code but the first after a
// clear code and widens when the next free code passes the current width.
void RxImageGIF::output(int code) {
    bitAccumulator |= uint32_t(code) << bitCount;
    bitCount += codeBits;
    while (bitCount >= 8) {
        char_out(BYTE(bitAccumulator));
        bitAccumulator >>= 8;
        bitCount -= 8;
    }
    if (code == clearCode) {
        codeBits = initialBits;
        freeCode = clearCode + 2;
        firstAfterClear = true;
        return;
    }
    if (code == endCode) {
        if (bitCount > 0) char_out(BYTE(bitAccumulator));
        bitAccumulator = 0;
        bitCount = 0;
        flush_char();
        return;
    }
    if (firstAfterClear)
        firstAfterClear = false;
    else if (freeCode < kMaxCode)
        ++freeCode;
    if (freeCode == (1 << codeBits) && codeBits < 12) ++codeBits;
}

void RxImageGIF::char_out(BYTE c) {
    packet[packetLength++] = c;
    if (packetLength >= 254) flush_char();
}

void RxImageGIF::flush_char() {
    if (packetLength == 0) return;
    out->Put(BYTE(packetLength));
    out->Write(packet, size_t(packetLength));
    packetLength = 0;
}

void RxImageGIF::compressNONE(int initBits) {
    StartCodes(initBits);
    output(clearCode);
    for (int pixel = GifNextPixel(); pixel >= 0; pixel = GifNextPixel()) {
        if (!firstAfterClear && freeCode >= kMaxCode - 1) output(clearCode);
        output(pixel);
    }
    output(endCode);
}

void RxImageGIF::cl_hash() {
    std::fill(hashTable.begin(), hashTable.end(), -1);
}

void RxImageGIF::compressLZW(int initBits) {
    StartCodes(initBits);
    hashTable.assign(kHashSize, -1);
    codeTable.assign(kHashSize, 0);
    int tableNext = clearCode + 2;
    output(clearCode);
    int prefix = GifNextPixel();
    if (prefix < 0) {
        output(endCode);
        return;
    }
    for (int pixel = GifNextPixel(); pixel >= 0; pixel = GifNextPixel()) {
        const int32_t key = (int32_t(pixel) << 12) + prefix;
        int i = (pixel << 4) ^ prefix;
        if (hashTable[size_t(i)] == key) {
            prefix = codeTable[size_t(i)];
            continue;
        }
        if (hashTable[size_t(i)] >= 0) {
            const int step = i == 0 ? 1 : kHashSize - i;
            bool found = false;
            do {
                i -= step;
                if (i < 0) i += kHashSize;
                if (hashTable[size_t(i)] == key) {
                    found = true;
                    break;
                }
            } while (hashTable[size_t(i)] >= 0);
            if (found) {
                prefix = codeTable[size_t(i)];
                continue;
            }
        }
        output(prefix);
        prefix = pixel;
        if (tableNext < kMaxCode) {
            codeTable[size_t(i)] = uint16_t(tableNext++);
            hashTable[size_t(i)] = key;
        } else {
            cl_hash();
            tableNext = clearCode + 2;
            output(clearCode);
        }
    }
    output(prefix);
    output(endCode);
}

// Runs of one index as growing codes: after a clear code the index itself,
// then each new code stands for one more copy than the code before (the
// decoder builds it from the previous code and its first index). A run's rest
// is sent as the code of that length. Every run starts on a fresh table.
void RxImageGIF::compressRLE(int initBits) {
    StartCodes(initBits);
    output(clearCode);
    std::vector<int> codeOfLength(kMaxCode + 2, 0);
    int pixel = GifNextPixel();
    while (pixel >= 0) {
        long run = 1;
        int next = GifNextPixel();
        while (next == pixel) {
            ++run;
            next = GifNextPixel();
        }
        if (!firstAfterClear) output(clearCode);
        int longest = 0;  // longest string of this index in the decoder's table
        while (run > 0) {
            if (longest > 0 && freeCode >= kMaxCode - 1) {
                output(clearCode);
                longest = 0;
            }
            if (longest == 0) {
                output(pixel);
                codeOfLength[1] = pixel;
                longest = 1;
                run -= 1;
            } else if (run >= longest + 1) {
                const int code = freeCode;
                output(code);
                ++longest;
                codeOfLength[longest] = code;
                run -= longest;
            } else {
                output(codeOfLength[run]);
                run = 0;
            }
        }
        pixel = next;
    }
    output(endCode);
}
