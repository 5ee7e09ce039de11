#include "platform/ImageScaler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// Calls visit(sourceIndex, overlap) for every source pixel that target pixel
// `target` covers along one axis. Overlaps are measured in units of
// 1 / targetLength source pixels, so they are whole numbers and add up to
// sourceLength for every target pixel.
template <typename Visit>
void ForEachCovered(int target, int sourceLength, int targetLength, Visit visit) {
    const int64_t from = int64_t(target) * sourceLength;
    const int64_t to = from + sourceLength;
    for (int64_t i = from / targetLength; i * targetLength < to; ++i) {
        const int64_t low = std::max(from, i * targetLength);
        const int64_t high = std::min(to, (i + 1) * targetLength);
        visit(int(i), uint64_t(high - low));
    }
}

bool TargetIsUsable(const Surface& source, int width, int height, Surface* out) {
    return out && !source.IsEmpty() && width > 0 && height > 0 && Surface::SizeIsAcceptable(width, height);
}

uint8_t Channel(uint32_t pixel, int shift) { return uint8_t((pixel >> shift) & 0xFF); }

int ScaledPosition(int position, int to, int from) {
    const int64_t scaled = (int64_t(position) * to * 2 + from) / (int64_t(from) * 2);  // rounded half up
    return int(std::min<int64_t>(std::max<int64_t>(scaled, 0), to - 1));
}

struct Cover {
    uint32_t colour;
    uint64_t weight;
    size_t order;  // reading order of the colour's first pixel, to break ties
};

// The colour with the largest total weight; on a tie the one met first.
uint32_t DominantColour(std::vector<Cover>* covers) {
    std::sort(covers->begin(), covers->end(),
              [](const Cover& a, const Cover& b) { return a.colour != b.colour ? a.colour < b.colour : a.order < b.order; });
    uint32_t best = 0;
    uint64_t bestWeight = 0;
    size_t bestOrder = SIZE_MAX;
    for (size_t i = 0; i < covers->size();) {
        const uint32_t colour = (*covers)[i].colour;
        const size_t order = (*covers)[i].order;
        uint64_t weight = 0;
        for (; i < covers->size() && (*covers)[i].colour == colour; ++i) weight += (*covers)[i].weight;
        if (weight > bestWeight || (weight == bestWeight && order < bestOrder)) {
            best = colour;
            bestWeight = weight;
            bestOrder = order;
        }
    }
    return best;
}

}  // namespace

bool ImageScaler::Average(const Surface& source, int width, int height, Surface* out) {
    if (!TargetIsUsable(source, width, height, out)) return false;
    Surface result;
    if (!result.Resize(width, height, 0)) return false;
    const int sourceWidth = source.Width(), sourceHeight = source.Height();
    const uint64_t area = uint64_t(sourceWidth) * uint64_t(sourceHeight);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = result.Row(y);
        for (int x = 0; x < width; ++x) {
            // The weights of one target pixel add up to the source's area
            // (at most 2^26); times alpha and a channel that stays far
            // within 64 bits.
            uint64_t alpha = 0, red = 0, green = 0, blue = 0;
            ForEachCovered(y, sourceHeight, height, [&](int sy, uint64_t wy) {
                const uint32_t* sourceRow = source.Row(sy);
                ForEachCovered(x, sourceWidth, width, [&](int sx, uint64_t wx) {
                    const uint32_t p = sourceRow[sx];
                    const uint64_t weight = wx * wy * Channel(p, 24);
                    alpha += weight;
                    red += weight * Channel(p, 16);
                    green += weight * Channel(p, 8);
                    blue += weight * Channel(p, 0);
                });
            });
            if (alpha == 0) {
                row[x] = 0;
                continue;
            }
            const uint32_t a = uint32_t((alpha + area / 2) / area);
            const auto mean = [alpha](uint64_t sum) { return uint32_t((sum + alpha / 2) / alpha); };
            row[x] = (a << 24) | (mean(red) << 16) | (mean(green) << 8) | mean(blue);
        }
    }
    *out = std::move(result);
    return true;
}

bool ImageScaler::Dominant(const Surface& source, int width, int height, Surface* out) {
    if (!TargetIsUsable(source, width, height, out)) return false;
    Surface result;
    if (!result.Resize(width, height, 0)) return false;
    const int sourceWidth = source.Width(), sourceHeight = source.Height();
    std::vector<Cover> covers;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = result.Row(y);
        for (int x = 0; x < width; ++x) {
            covers.clear();
            ForEachCovered(y, sourceHeight, height, [&](int sy, uint64_t wy) {
                const uint32_t* sourceRow = source.Row(sy);
                ForEachCovered(x, sourceWidth, width, [&](int sx, uint64_t wx) {
                    covers.push_back(Cover{sourceRow[sx], wx * wy, covers.size()});
                });
            });
            row[x] = DominantColour(&covers);
        }
    }
    *out = std::move(result);
    return true;
}

std::unique_ptr<Icon> ImageScaler::ResizeIcon(const Icon& icon, int width, int height) {
    const bool consistent = icon.width > 0 && icon.height > 0 && icon.colour.Width() == icon.width &&
                            icon.colour.Height() == icon.height && icon.mask.Width() == icon.width &&
                            icon.mask.Height() == icon.height;
    if (!consistent) return nullptr;
    std::unique_ptr<Icon> resized(new Icon());
    resized->width = width;
    resized->height = height;
    resized->isCursor = icon.isCursor;
    resized->hasAlpha = icon.hasAlpha;
    resized->hotSpot = POINT{ScaledPosition(icon.hotSpot.x, width, icon.width),
                             ScaledPosition(icon.hotSpot.y, height, icon.height)};
    if (!resized->mask.Resize(width, height, kBlack)) return nullptr;
    if (icon.hasAlpha) {
        if (!Average(icon.colour, width, height, &resized->colour)) return nullptr;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((resized->colour.Row(y)[x] >> 24) < 128) resized->mask.Row(y)[x] = kWhite;
        return resized;
    }
    // Colour and mask bit travel together, so that every target pixel keeps
    // a pair that existed (an inverting pixel stays one).
    Surface paired(icon.width, icon.height, 0);
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            const bool transparent = (icon.mask.Row(y)[x] & 0xFFFFFF) != 0;
            paired.Row(y)[x] = (icon.colour.Row(y)[x] & 0xFFFFFF) | (transparent ? 0 : kBlack);
        }
    if (!Dominant(paired, width, height, &resized->colour)) return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t& pixel = resized->colour.Row(y)[x];
            if ((pixel >> 24) == 0) resized->mask.Row(y)[x] = kWhite;
            pixel |= kBlack;
        }
    return resized;
}
