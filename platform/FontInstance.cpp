#include "platform/FontInstance.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/FontResolver.h"
#include "platform/GdiDefs.h"

struct FontInstance::FaceHandle {
    FT_Face face = nullptr;
    ~FaceHandle() {
        if (face) FT_Done_Face(face);
    }
};

namespace {

constexpr int kMaxEmPixels = 2048;    // keeps glyph bitmaps within reason

FT_Library Library() {
    static FT_Library library = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    return library;
}

// Text is 8-bit ANSI (Windows-1252); its 0x80-0x9F range differs from Latin-1.
FT_ULong ToUnicode(unsigned char ch) {
    static const uint16_t cp1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (ch >= 0x80 && ch < 0xA0) return cp1252[ch - 0x80];
    return ch;
}

std::string CacheKey(const LOGFONT& lf) {
    LOGFONT copy = lf;
    copy.lfFaceName[LF_FACESIZE - 1] = '\0';
    const size_t faceLength = std::strlen(copy.lfFaceName);
    std::memset(copy.lfFaceName + faceLength, 0, LF_FACESIZE - faceLength);
    return std::string(reinterpret_cast<const char*>(&copy), sizeof copy);
}

int CeilDiv(long long a, long long b) { return int((a + b - 1) / b); }

}  // namespace

std::shared_ptr<FontInstance> FontInstance::Get(const LOGFONT& logFont) {
    static std::map<std::string, std::weak_ptr<FontInstance>> cache;
    const std::string key = CacheKey(logFont);
    auto it = cache.find(key);
    if (it != cache.end()) {
        if (auto existing = it->second.lock()) return existing;
    }
    std::shared_ptr<FontInstance> instance(new FontInstance());
    if (!instance->Load(logFont)) return nullptr;
    cache[key] = instance;
    return instance;
}

FontInstance::~FontInstance() = default;

bool FontInstance::Load(const LOGFONT& lf) {
    FT_Library library = Library();
    if (!library) return false;
    char faceName[LF_FACESIZE];
    std::memcpy(faceName, lf.lfFaceName, LF_FACESIZE);
    faceName[LF_FACESIZE - 1] = '\0';
    weight_ = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : int(lf.lfWeight);
    italic_ = lf.lfItalic != 0;
    underline_ = lf.lfUnderline != 0;
    strikeOut_ = lf.lfStrikeOut != 0;
    escapement_ = int(lf.lfEscapement % 3600);

    FontResolver::Match match;
    if (!FontResolver::Resolve(faceName, weight_, italic_, &match)) return false;
    face_.reset(new FaceHandle());
    if (FT_New_Face(library, match.file.c_str(), match.index, &face_->face) != 0) {
        face_->face = nullptr;
        return false;
    }
    FT_Face face = face_->face;
    file_ = match.file;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return false;

    // Cell metrics come from the OS/2 table's Windows ascent and descent, as
    // the classic system measures them; the line height follows from them.
    const long upem = face->units_per_EM;
    long winAscent = face->ascender, winDescent = -face->descender;
    long avgWidthUnits = 0, strikeoutUnits = upem / 4;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        avgWidthUnits = os2->xAvgCharWidth;
        if (os2->yStrikeoutPosition > 0) strikeoutUnits = os2->yStrikeoutPosition;
    }
    if (winAscent + winDescent <= 0) return false;

    long height = lf.lfHeight;
    if (height < 0) {
        emPixels_ = int(-height);
    } else {
        // Cell height; CFont turns a height of 0 into the default size.
        emPixels_ = int((height * upem + (winAscent + winDescent) / 2) / (winAscent + winDescent));
    }
    if (emPixels_ < 1) emPixels_ = 1;
    if (emPixels_ > kMaxEmPixels) emPixels_ = kMaxEmPixels;

    ascent_ = CeilDiv(winAscent * emPixels_, upem);
    descent_ = CeilDiv(winDescent * emPixels_, upem);
    if (height > 0 && ascent_ + descent_ > height) descent_ = std::max(0, int(height) - ascent_);

    int xPixels = std::max(1, (emPixels_ * FontResolver::WidthPercent(faceName) + 50) / 100);
    if (lf.lfWidth > 0 && avgWidthUnits > 0) {
        // A requested average width stretches the face horizontally.
        const long natural = std::max(1L, (avgWidthUnits * emPixels_ + upem / 2) / upem);
        xPixels = int(std::min<long>(kMaxEmPixels, (long(lf.lfWidth) * emPixels_ + natural / 2) / natural));
        if (xPixels < 1) xPixels = 1;
    }
    if (FT_Set_Pixel_Sizes(face, FT_UInt(xPixels), FT_UInt(emPixels_)) != 0) return false;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    syntheticBold_ = weight_ >= FW_SEMIBOLD && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    syntheticItalic_ = italic_ && !(face->style_flags & FT_STYLE_FLAG_ITALIC);

    underlinePos_ = std::max(1, int(std::lround(-double(face->underline_position) * emPixels_ / upem)));
    underlineThickness_ = std::max(1, int(std::lround(double(face->underline_thickness) * emPixels_ / upem)));
    strikeoutPos_ = std::max(1, int(std::lround(double(strikeoutUnits) * emPixels_ / upem)));

    long total64 = 0;
    for (unsigned char c = 'a'; c <= 'z'; ++c) total64 += GetGlyph(c).advance64;
    for (unsigned char c = 'A'; c <= 'Z'; ++c) total64 += GetGlyph(c).advance64;
    aveCharWidth_ = int((total64 + 52 * 32) / (52 * 64));
    maxCharWidth_ = 0;
    for (int c = 32; c < 256; ++c) maxCharWidth_ = std::max(maxCharWidth_, GetGlyph(uint8_t(c)).advance);
    return true;
}

bool FontInstance::RenderGlyph(unsigned char ch, bool rotated, Glyph* glyph, long* dx64, long* dy64) {
    FT_Face face = face_->face;
    if (rotated) {
        const double angle = escapement_ * M_PI / 1800.0;
        FT_Matrix matrix;
        matrix.xx = FT_Fixed(std::cos(angle) * 0x10000);
        matrix.xy = FT_Fixed(-std::sin(angle) * 0x10000);
        matrix.yx = FT_Fixed(std::sin(angle) * 0x10000);
        matrix.yy = FT_Fixed(std::cos(angle) * 0x10000);
        FT_Set_Transform(face, &matrix, nullptr);
    }
    const FT_UInt index = FT_Get_Char_Index(face, ToUnicode(ch));
    FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
    FT_Error error = FT_Load_Glyph(face, index, flags);
    if (rotated) FT_Set_Transform(face, nullptr, nullptr);
    if (error != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (syntheticItalic_) {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (syntheticBold_) FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(32, emPixels_ * 2));
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph->width = int(bitmap.width);
    glyph->height = int(bitmap.rows);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    // Hinted advances: whole pixels that match the hinted outlines, so
    // letters sit evenly; they add up to the design widths closely enough
    // for the dialog layouts (8 pt: 6.4 pixels on average).
    glyph->advance64 = long(slot->advance.x) + (syntheticBold_ && !rotated ? 64 : 0);
    glyph->advance = int((glyph->advance64 + 32) >> 6);
    if (dx64) *dx64 = slot->advance.x;
    if (dy64) *dy64 = slot->advance.y;
    glyph->coverage.assign(size_t(glyph->width) * size_t(glyph->height), 0);
    for (int y = 0; y < glyph->height; ++y) {
        const unsigned char* src = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            std::memcpy(&glyph->coverage[size_t(y) * glyph->width], src, size_t(glyph->width));
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < glyph->width; ++x)
                glyph->coverage[size_t(y) * glyph->width + x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
    }
    return true;
}

const FontInstance::Glyph& FontInstance::GetGlyph(unsigned char ch) {
    if (!haveGlyph_[ch]) {
        haveGlyph_[ch] = true;
        if (!RenderGlyph(ch, false, &glyphs_[ch], nullptr, nullptr)) glyphs_[ch] = Glyph();
    }
    return glyphs_[ch];
}

const FontInstance::Glyph& FontInstance::GetRotatedGlyph(unsigned char ch, long* dx64, long* dy64) {
    auto it = rotated_.find(ch);
    if (it == rotated_.end()) {
        RotatedGlyph entry;
        if (!RenderGlyph(ch, true, &entry.glyph, &entry.dx64, &entry.dy64)) entry = RotatedGlyph();
        it = rotated_.emplace(ch, std::move(entry)).first;
    }
    *dx64 = it->second.dx64;
    *dy64 = it->second.dy64;
    return it->second.glyph;
}
