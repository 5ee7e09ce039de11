#include "platform/Surface.h"

#include <algorithm>

Surface::Surface(int width, int height, uint32_t fill) { Resize(width, height, fill); }

bool Surface::SizeIsAcceptable(int width, int height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) return false;
    return int64_t(width) * int64_t(height) <= kMaxPixels;
}

bool Surface::Resize(int width, int height, uint32_t fill) {
    if (!SizeIsAcceptable(width, height)) {
        width_ = height_ = 0;
        pixels_.clear();
        return false;
    }
    width_ = width;
    height_ = height;
    pixels_.assign(size_t(width) * size_t(height), fill);
    return true;
}

void Surface::Fill(uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }
