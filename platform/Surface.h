#pragma once

// A block of 32-bit pixels, 0xAARRGGBB per pixel (B, G, R, A in memory),
// rows top-down. Top-level windows, bitmaps and memory contexts draw into one.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"

class Surface {
public:
    // The largest side and area we accept; anything above is refused rather
    // than allocated, so hostile sizes cannot exhaust memory.
    static constexpr int kMaxSide = 32768;
    static constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

    Surface() = default;
    Surface(int width, int height, uint32_t fill = 0xFF000000u);

    // Reallocates to width x height filled with `fill`; false (and an empty
    // surface) for a negative or too large size.
    bool Resize(int width, int height, uint32_t fill = 0xFF000000u);
    void Fill(uint32_t pixel);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return width_; }  // in pixels
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }

    uint32_t* Row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
    const uint32_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
    uint32_t* Pixels() { return pixels_.data(); }
    const uint32_t* Pixels() const { return pixels_.data(); }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Out-of-range reads give 0 and writes are ignored.
    uint32_t At(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }
    void Set(int x, int y, uint32_t pixel) {
        if (Contains(x, y)) Row(y)[x] = pixel;
    }

    static bool SizeIsAcceptable(int width, int height);

    static constexpr uint32_t FromColorRef(COLORREF c) {
        return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) |
               uint32_t(GetBValue(c));
    }
    static constexpr COLORREF ToColorRef(uint32_t p) {
        return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};
