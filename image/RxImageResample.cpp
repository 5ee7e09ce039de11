#include "image/RxImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image/PixelRow.h"

namespace {

// The pixels of the picture being resampled.
struct SourceView {
    const BYTE* bits;
    size_t stride;
    LONG width, height;
    WORD bpp;
    const RGBQUAD* palette;

    const BYTE* Row(LONG y) const { return bits + size_t(y) * stride; }

    RGBQUAD Color(const BYTE* row, LONG x) const {
        if (palette) return palette[PixelRow::GetIndex(row, x, bpp)];
        const BYTE* p = row + 3 * size_t(x);
        return RGBQUAD{p[0], p[1], p[2], 0};
    }
};

// Where each new row or column samples the old ones.
struct Axis {
    std::vector<LONG> nearest;  // (int)(i x scale), kept inside the picture
    std::vector<LONG> low, high;
    std::vector<uint32_t> fraction;  // of the way from low to high, in 1/2048
};

constexpr int kFractionBits = 11;
constexpr uint32_t kOne = 1u << kFractionBits;

Axis MakeAxis(LONG newSize, LONG oldSize, float scale) {
    Axis axis;
    axis.nearest.resize(size_t(newSize));
    axis.low.resize(size_t(newSize));
    axis.high.resize(size_t(newSize));
    axis.fraction.resize(size_t(newSize));
    for (LONG i = 0; i < newSize; ++i) {
        const float at = float(i) * scale;
        // Single precision may round the last position up to the edge.
        const LONG whole = std::min<LONG>(LONG(at), oldSize - 1);
        const float part = std::clamp(at - float(whole), 0.0f, 1.0f);
        axis.nearest[size_t(i)] = whole;
        axis.low[size_t(i)] = whole;
        axis.high[size_t(i)] = std::min(whole + 1, oldSize - 1);
        axis.fraction[size_t(i)] = std::min<uint32_t>(uint32_t(part * float(kOne)), kOne);
    }
    return axis;
}

// Stores a computed colour: directly for true colour, as the nearest
// palette index otherwise.
void Store(RxImage& target, BYTE* row, LONG x, RGBQUAD c) {
    if (target.IsIndexed()) {
        PixelRow::SetIndex(row, x, target.GetBpp(), target.GetNearestIndex(c));
    } else {
        BYTE* p = row + 3 * size_t(x);
        p[0] = c.rgbBlue;
        p[1] = c.rgbGreen;
        p[2] = c.rgbRed;
    }
}

// One old pixel's share of a new one along an axis, in thousandths.
struct Share {
    LONG index;
    uint32_t weight;
};

// The old pixels that new pixel i covers along an axis, with the covered
// fraction of each.
std::vector<std::vector<Share>> CoverShares(LONG newSize, LONG oldSize) {
    std::vector<std::vector<Share>> shares(static_cast<size_t>(newSize));
    for (LONG i = 0; i < newSize; ++i) {
        const double from = double(i) * oldSize / newSize;
        const double to = double(i + 1) * oldSize / newSize;
        for (LONG k = LONG(from); k < oldSize && double(k) < to; ++k) {
            const double covered = std::min(to, double(k + 1)) - std::max(from, double(k));
            const uint32_t weight = uint32_t(std::lround(covered * 1000.0));
            if (weight) shares[size_t(i)].push_back(Share{k, weight});
        }
    }
    return shares;
}

}  // namespace

float RxImage::b3spline(float x) {
    auto cubePlus = [](float t) { return t > 0.0f ? t * t * t : 0.0f; };
    return (cubePlus(x + 2.0f) - 4.0f * cubePlus(x + 1.0f) + 6.0f * cubePlus(x) - 4.0f * cubePlus(x - 1.0f)) /
           6.0f;
}

bool RxImage::Resample(LONG newWidth, LONG newHeight, int mode, RxImage* destination) {
    if (!dib || newWidth <= 0 || newHeight <= 0) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    if (newWidth == width && newHeight == height) {
        if (!destination || destination == this) return true;
        destination->Copy(*this);
        return destination->IsValid();
    }
    // An empty picture has nothing to sample from.
    if (width == 0 || height == 0) return false;
    const WORD bpp = header.biBitCount;
    const float xScale = float(width) / float(newWidth);
    const float yScale = float(height) / float(newHeight);

    RxImage scaled;
    if (!CreateLike(scaled, DWORD(newWidth), DWORD(newHeight), bpp)) return false;
    scaled.SetPalette(GetPalette(), header.biClrUsed);
    scaled.ClearSelectionBox();
    if (alpha && !scaled.AlphaCreate()) return false;

    try {
        const SourceView source{info.bits, info.effWidth, width, height, bpp, GetPalette()};
        const Axis columns = MakeAxis(newWidth, width, xScale);
        const Axis rows = MakeAxis(newHeight, height, yScale);
        auto targetRow = [&scaled](LONG y) { return scaled.info.bits + size_t(y) * scaled.info.effWidth; };
        auto next = [this, newHeight](LONG y) { return NextRow(y, newHeight); };

        if (mode == 1) {
            for (LONG y = 0; y < newHeight && next(y); ++y) {
                const BYTE* from = source.Row(rows.nearest[size_t(y)]);
                BYTE* to = targetRow(y);
                if (bpp == 24) {
                    for (LONG x = 0; x < newWidth; ++x) {
                        const BYTE* p = from + 3 * size_t(columns.nearest[size_t(x)]);
                        to[0] = p[0];
                        to[1] = p[1];
                        to[2] = p[2];
                        to += 3;
                    }
                } else if (bpp == 8) {
                    for (LONG x = 0; x < newWidth; ++x) to[x] = from[columns.nearest[size_t(x)]];
                } else {
                    for (LONG x = 0; x < newWidth; ++x) PixelRow::CopyPixel(from, columns.nearest[size_t(x)], to, x, bpp);
                }
            }
        } else if (mode == 2) {
            // The kernel's weights depend only on the column (or row) fraction.
            struct Taps {
                LONG index[4];
                float weight[4];
            };
            auto makeTaps = [this](LONG newSize, LONG oldSize, float scale) {
                std::vector<Taps> taps(static_cast<size_t>(newSize));
                for (LONG i = 0; i < newSize; ++i) {
                    const float at = float(i) * scale;
                    const float whole = std::floor(at);
                    const float part = at - whole;
                    for (int k = 0; k < 4; ++k) {
                        taps[size_t(i)].index[k] = std::clamp<LONG>(LONG(whole) + k - 1, 0, oldSize - 1);
                        taps[size_t(i)].weight[k] = b3spline(float(k - 1) - part);
                    }
                }
                return taps;
            };
            const std::vector<Taps> across = makeTaps(newWidth, width, xScale);
            const std::vector<Taps> down = makeTaps(newHeight, height, yScale);
            for (LONG y = 0; y < newHeight && next(y); ++y) {
                const Taps& ty = down[size_t(y)];
                const BYTE* tapRows[4] = {source.Row(ty.index[0]), source.Row(ty.index[1]), source.Row(ty.index[2]),
                                          source.Row(ty.index[3])};
                BYTE* to = targetRow(y);
                for (LONG x = 0; x < newWidth; ++x) {
                    const Taps& tx = across[size_t(x)];
                    float sum[3] = {0, 0, 0};
                    for (int m = 0; m < 4; ++m) {
                        for (int n = 0; n < 4; ++n) {
                            const float w = ty.weight[m] * tx.weight[n];
                            const RGBQUAD c = source.Color(tapRows[m], tx.index[n]);
                            sum[0] += w * c.rgbBlue;
                            sum[1] += w * c.rgbGreen;
                            sum[2] += w * c.rgbRed;
                        }
                    }
                    // The weights add up to one only within rounding: a flat area
                    // must keep its value, and nothing may wrap past 255.
                    auto channel = [](float v) { return BYTE(std::clamp(int(v + 1e-3f), 0, 255)); };
                    Store(scaled, to, x, RGBQUAD{channel(sum[0]), channel(sum[1]), channel(sum[2]), 0});
                }
            }
        } else if (newWidth < width && newHeight < height && bpp == 24) {
            const auto across = CoverShares(newWidth, width);
            const auto down = CoverShares(newHeight, height);
            std::vector<uint64_t> sums(size_t(newWidth) * 3);
            std::vector<uint64_t> columnWeights(static_cast<size_t>(newWidth));
            for (LONG x = 0; x < newWidth; ++x)
                for (const Share& s : across[size_t(x)]) columnWeights[size_t(x)] += s.weight;
            for (LONG y = 0; y < newHeight && next(y); ++y) {
                std::fill(sums.begin(), sums.end(), 0);
                uint64_t rowWeight = 0;
                for (const Share& r : down[size_t(y)]) {
                    rowWeight += r.weight;
                    const BYTE* from = source.Row(r.index);
                    for (LONG x = 0; x < newWidth; ++x) {
                        uint64_t b = 0, g = 0, red = 0;
                        for (const Share& s : across[size_t(x)]) {
                            const BYTE* p = from + 3 * size_t(s.index);
                            b += uint64_t(p[0]) * s.weight;
                            g += uint64_t(p[1]) * s.weight;
                            red += uint64_t(p[2]) * s.weight;
                        }
                        sums[3 * size_t(x)] += b * r.weight;
                        sums[3 * size_t(x) + 1] += g * r.weight;
                        sums[3 * size_t(x) + 2] += red * r.weight;
                    }
                }
                BYTE* to = targetRow(y);
                for (LONG x = 0; x < newWidth; ++x) {
                    // Divided by the weight actually gathered, so that rounded
                    // shares cannot push a channel past 255.
                    const uint64_t total = std::max<uint64_t>(rowWeight * columnWeights[size_t(x)], 1);
                    for (int k = 0; k < 3; ++k) to[3 * size_t(x) + size_t(k)] = BYTE(sums[3 * size_t(x) + size_t(k)] / total);
                }
            }
        } else {
            for (LONG y = 0; y < newHeight && next(y); ++y) {
                const BYTE* low = source.Row(rows.low[size_t(y)]);
                const BYTE* high = source.Row(rows.high[size_t(y)]);
                const uint32_t v = rows.fraction[size_t(y)], notV = kOne - v;
                BYTE* to = targetRow(y);
                for (LONG x = 0; x < newWidth; ++x) {
                    const LONG sx = columns.low[size_t(x)], sx1 = columns.high[size_t(x)];
                    const uint32_t u = columns.fraction[size_t(x)], notU = kOne - u;
                    auto mix = [&](uint32_t c00, uint32_t c01, uint32_t c10, uint32_t c11) {
                        return BYTE(((c00 * notV + c01 * v) * notU + (c10 * notV + c11 * v) * u) >> (2 * kFractionBits));
                    };
                    if (bpp == 24) {
                        const BYTE* p00 = low + 3 * size_t(sx);
                        const BYTE* p10 = low + 3 * size_t(sx1);
                        const BYTE* p01 = high + 3 * size_t(sx);
                        const BYTE* p11 = high + 3 * size_t(sx1);
                        to[3 * size_t(x)] = mix(p00[0], p01[0], p10[0], p11[0]);
                        to[3 * size_t(x) + 1] = mix(p00[1], p01[1], p10[1], p11[1]);
                        to[3 * size_t(x) + 2] = mix(p00[2], p01[2], p10[2], p11[2]);
                    } else {
                        const RGBQUAD c00 = source.Color(low, sx), c10 = source.Color(low, sx1);
                        const RGBQUAD c01 = source.Color(high, sx), c11 = source.Color(high, sx1);
                        Store(scaled, to, x,
                              RGBQUAD{mix(c00.rgbBlue, c01.rgbBlue, c10.rgbBlue, c11.rgbBlue),
                                      mix(c00.rgbGreen, c01.rgbGreen, c10.rgbGreen, c11.rgbGreen),
                                      mix(c00.rgbRed, c01.rgbRed, c10.rgbRed, c11.rgbRed), 0});
                    }
                }
            }
        }

        if (alpha) {
            for (LONG y = 0; y < newHeight; ++y) {
                const BYTE* from = alpha + size_t(rows.nearest[size_t(y)]) * size_t(width);
                BYTE* to = scaled.alpha + size_t(y) * size_t(newWidth);
                for (LONG x = 0; x < newWidth; ++x) to[x] = from[columns.nearest[size_t(x)]];
            }
        }
        AdoptResult(scaled, destination);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
