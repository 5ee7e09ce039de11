#include "image/RxImage.h"

#include <cstdlib>
#include <cstring>

bool RxImage::CreateLike(RxImage& fresh, DWORD width, DWORD height, DWORD bpp) const {
    fresh.CopyInfo(*this);
    // The copied record must not claim buffers or cached lookups it lacks.
    fresh.info.ghostOf = nullptr;
    fresh.info.numLayers = 0;
    fresh.info.lastColorValid = false;
    fresh.header.biXPelsPerMeter = header.biXPelsPerMeter;
    fresh.header.biYPelsPerMeter = header.biYPelsPerMeter;
    if (!fresh.Create(width, height, bpp, info.type)) return false;
    // Rows an interrupted operation never reaches, and row padding, stay
    // defined.
    fresh.Clear(0);
    return true;
}

void RxImage::AdoptResult(RxImage& fresh, RxImage* destination) {
    fresh.info.progress = info.progress;
    fresh.info.escape = info.escape;
    if (destination && destination != this) {
        destination->Transfer(fresh);
        return;
    }
    fresh.layers = layers;
    fresh.info.numLayers = info.numLayers;
    layers = nullptr;
    info.numLayers = 0;
    Transfer(fresh);
}

bool RxImage::NextRow(int64_t row, int64_t rows) {
    info.progress = rows > 0 ? LONG(row * 100 / rows) : 100;
    return info.escape == 0;
}

size_t RxImage::PlaneBytes() const {
    return size_t(header.biWidth) * size_t(header.biHeight);
}

bool RxImage::CopyPlane(const BYTE* source, BYTE*& target, size_t bytes) {
    std::free(target);
    target = nullptr;
    if (!source) return true;
    target = static_cast<BYTE*>(std::malloc(bytes ? bytes : 1));
    if (!target) return false;
    std::memcpy(target, source, bytes);
    return true;
}

void RxImage::ClearSelectionBox() {
    info.selectionBox = RECT{header.biWidth, 0, 0, header.biHeight};
}
