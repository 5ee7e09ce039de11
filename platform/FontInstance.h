#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

// One face at one pixel size, with its metrics and a cache of rendered
// glyphs. Shared by all CFont objects made from the same record.
class FontInstance {
public:
    struct Glyph {
        int width = 0, height = 0;  // coverage bitmap size
        int left = 0, top = 0;      // bitmap origin relative to the pen position (top: up from baseline)
        int advance = 0;            // horizontal advance in whole pixels (unrotated)
        long advance64 = 0;         // the same in 1/64 pixel, for placing runs
        std::vector<uint8_t> coverage;  // width * height, 0..255
    };

    // The instance for a logical font record (cached); nullptr when no font
    // file can be found or loaded.
    static std::shared_ptr<FontInstance> Get(const LOGFONT& logFont);
    ~FontInstance();

    // Unrotated glyph of an 8-bit (Latin-1) character.
    const Glyph& GetGlyph(unsigned char ch);
    // Glyph turned by the font's escapement; advance along the baseline
    // is returned in (dx, dy) in 1/64 pixel.
    const Glyph& GetRotatedGlyph(unsigned char ch, long* dx64, long* dy64);

    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int Height() const { return ascent_ + descent_; }
    int EmPixels() const { return emPixels_; }
    int InternalLeading() const { return ascent_ + descent_ - emPixels_; }
    // Average width of the Latin alphabet (classic measure: 52 letters).
    int AveCharWidth() const { return aveCharWidth_; }
    int MaxCharWidth() const { return maxCharWidth_; }
    int UnderlinePosition() const { return underlinePos_; }  // pixels below baseline
    int UnderlineThickness() const { return underlineThickness_; }
    int StrikeoutPosition() const { return strikeoutPos_; }   // pixels above baseline
    int Weight() const { return weight_; }
    bool Italic() const { return italic_; }
    bool Underline() const { return underline_; }
    bool StrikeOut() const { return strikeOut_; }
    int Escapement() const { return escapement_; }  // tenths of a degree
    const std::string& FileName() const { return file_; }

private:
    FontInstance() = default;
    bool Load(const LOGFONT& logFont);
    bool RenderGlyph(unsigned char ch, bool rotated, Glyph* glyph, long* dx64, long* dy64);

    struct FaceHandle;
    std::unique_ptr<FaceHandle> face_;
    std::string file_;
    int emPixels_ = 0;
    int ascent_ = 0, descent_ = 0;
    int aveCharWidth_ = 0, maxCharWidth_ = 0;
    int underlinePos_ = 1, underlineThickness_ = 1, strikeoutPos_ = 3;
    int weight_ = 400;
    bool italic_ = false, underline_ = false, strikeOut_ = false;
    bool syntheticBold_ = false, syntheticItalic_ = false;
    int escapement_ = 0;
    Glyph glyphs_[256];
    bool haveGlyph_[256] = {};
    struct RotatedGlyph {
        Glyph glyph;
        long dx64 = 0, dy64 = 0;
    };
    std::map<unsigned char, RotatedGlyph> rotated_;
};
