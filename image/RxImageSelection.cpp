#include "image/RxImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr BYTE kSelected = 255;

// Marks of the temporary plane used to fill a polygon.
constexpr BYTE kOutline = 1;
constexpr BYTE kOutside = 2;

// Clips the segment a-b to the rectangle [0, width) x [0, height) widened by
// one pixel; false when nothing of it is left. Keeps the outline drawing of
// far-away points from walking billions of steps.
bool ClipSegment(double& ax, double& ay, double& bx, double& by, double width, double height) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax + 1.0, width - ax, ay + 1.0, height - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double sx = ax, sy = ay;
    ax = sx + t0 * dx;
    ay = sy + t0 * dy;
    bx = sx + t1 * dx;
    by = sy + t1 * dy;
    return true;
}

}  // namespace

bool RxImage::SelectionCreate() {
    if (!dib) return false;
    SelectionDelete();
    const size_t bytes = PlaneBytes();
    selection = static_cast<BYTE*>(std::calloc(bytes ? bytes : 1, 1));
    return selection != nullptr;
}

bool RxImage::SelectionDelete() {
    std::free(selection);
    selection = nullptr;
    ClearSelectionBox();
    return true;
}

bool RxImage::SelectionClear() {
    if (!selection) return false;
    std::memset(selection, 0, PlaneBytes());
    ClearSelectionBox();
    return true;
}

bool RxImage::SelectionInvert() {
    if (!selection) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    // The box follows the plane: what was outside the old box may now be
    // selected, and operations limited to the box must still reach it.
    ClearSelectionBox();
    RECT& box = info.selectionBox;
    for (LONG y = 0; y < height; ++y) {
        BYTE* row = selection + size_t(y) * size_t(width);
        for (LONG x = 0; x < width; ++x) {
            row[x] = BYTE(255 - row[x]);
            if (row[x]) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::min(box.bottom, y);
                box.top = std::max(box.top, y + 1);
            }
        }
    }
    return true;
}

bool RxImage::SelectionIsInside(LONG x, LONG y) {
    if (!IsInside(x, y)) return false;
    return !selection || selection[size_t(y) * size_t(header.biWidth) + size_t(x)] != 0;
}

bool RxImage::SelectionCopy(RxImage& other) {
    if (&other == this || !other.selection || other.header.biWidth != header.biWidth ||
        other.header.biHeight != header.biHeight)
        return false;
    if (!CopyPlane(other.selection, selection, PlaneBytes())) return false;
    info.selectionBox = other.info.selectionBox;
    return true;
}

bool RxImage::SelectionAddRect(RECT rect) {
    if (!dib || (!selection && !SelectionCreate())) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const LONG left = std::clamp(std::min(rect.left, rect.right), 0, width);
    const LONG right = std::clamp(std::max(rect.left, rect.right), 0, width);
    const LONG bottom = std::clamp(std::min(rect.top, rect.bottom), 0, height);
    const LONG top = std::clamp(std::max(rect.top, rect.bottom), 0, height);
    if (left == right || bottom == top) return true;
    RECT& box = info.selectionBox;
    box.left = std::min(box.left, left);
    box.right = std::max(box.right, right);
    box.bottom = std::min(box.bottom, bottom);
    box.top = std::max(box.top, top);
    for (LONG y = bottom; y < top; ++y)
        std::memset(selection + size_t(y) * size_t(width) + size_t(left), kSelected, size_t(right - left));
    return true;
}

bool RxImage::SelectionAddEllipse(RECT rect) {
    const int64_t rx = std::llabs(int64_t(rect.right) - rect.left) / 2;
    const int64_t ry = std::llabs(int64_t(rect.top) - rect.bottom) / 2;
    if (rx == 0 || ry == 0 || !dib) return false;
    if (!selection && !SelectionCreate()) return false;
    const int64_t cx = (int64_t(rect.right) + rect.left) / 2;
    const int64_t cy = (int64_t(rect.top) + rect.bottom) / 2;
    const LONG width = header.biWidth, height = header.biHeight;
    const LONG x0 = LONG(std::clamp<int64_t>(cx - rx, 0, width));
    const LONG x1 = LONG(std::clamp<int64_t>(cx + rx, 0, width));
    const LONG y0 = LONG(std::clamp<int64_t>(cy - ry, 0, height));
    const LONG y1 = LONG(std::clamp<int64_t>(cy + ry, 0, height));
    if (x0 == x1 || y0 == y1) return true;
    RECT& box = info.selectionBox;
    box.left = std::min(box.left, x0);
    box.right = std::max(box.right, x1);
    box.bottom = std::min(box.bottom, y0);
    box.top = std::max(box.top, y1);
    for (LONG y = y0; y < y1; ++y) {
        BYTE* row = selection + size_t(y) * size_t(width);
        for (LONG x = x0; x < x1; ++x) {
            const double d = double(x - cx) / double(rx);
            const double reach = std::sqrt(std::max(0.0, 1.0 - d * d)) * double(ry);
            const bool inside = y < cy ? int64_t(double(cy) - reach) < y : y < int64_t(reach + double(cy));
            if (inside) row[x] = kSelected;
        }
    }
    return true;
}

bool RxImage::SelectionAddPolygon(const POINT* points, LONG count) {
    if (!points || count < 3 || !dib) return false;
    if (!selection && !SelectionCreate()) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    if (width == 0 || height == 0) return true;
    try {
        std::vector<BYTE> plane(PlaneBytes(), 0);

        // Outline, ring by ring; an x of -1 ends a ring, which closes on its start.
        LONG minX = width, maxX = -1, minY = height, maxY = -1;
        auto plot = [&](LONG x, LONG y) {
            if (x < 0 || y < 0 || x >= width || y >= height) return;
            plane[size_t(y) * size_t(width) + size_t(x)] = kOutline;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        };
        auto drawEdge = [&](const POINT& a, const POINT& b) {
            double ax = a.x, ay = a.y, bx = b.x, by = b.y;
            if (!ClipSegment(ax, ay, bx, by, width, height)) return;
            const double dx = bx - ax, dy = by - ay;
            const int64_t steps = int64_t(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
            if (steps == 0) {
                plot(LONG(std::lround(ax)), LONG(std::lround(ay)));
                return;
            }
            for (int64_t i = 0; i <= steps; ++i) {
                const double t = double(i) / double(steps);
                plot(LONG(std::lround(ax + dx * t)), LONG(std::lround(ay + dy * t)));
            }
        };
        LONG ringStart = 0;
        for (LONG i = 0; i <= count; ++i) {
            const bool ends = i == count || points[i].x == -1;
            if (!ends) {
                if (i > ringStart) drawEdge(points[i - 1], points[i]);
                continue;
            }
            if (i - ringStart >= 2) drawEdge(points[i - 1], points[ringStart]);
            ringStart = i + 1;
        }
        if (maxX < 0) return true;

        // Fill the outside from the border of the outline's box grown by one.
        const LONG bx0 = std::max(minX - 1, 0), bx1 = std::min(maxX + 1, width - 1);
        const LONG by0 = std::max(minY - 1, 0), by1 = std::min(maxY + 1, height - 1);
        std::vector<POINT> queue;
        queue.reserve(size_t(bx1 - bx0 + 1) * size_t(by1 - by0 + 1));
        auto reach = [&](LONG x, LONG y) {
            if (x < bx0 || x > bx1 || y < by0 || y > by1) return;
            BYTE& mark = plane[size_t(y) * size_t(width) + size_t(x)];
            if (mark) return;
            mark = kOutside;
            queue.push_back(POINT{x, y});
        };
        for (LONG x = bx0; x <= bx1; ++x) {
            reach(x, by0);
            reach(x, by1);
        }
        for (LONG y = by0; y <= by1; ++y) {
            reach(bx0, y);
            reach(bx1, y);
        }
        for (size_t head = 0; head < queue.size(); ++head) {
            const POINT p = queue[head];
            reach(p.x + 1, p.y);
            reach(p.x - 1, p.y);
            reach(p.x, p.y + 1);
            reach(p.x, p.y - 1);
        }

        RECT& box = info.selectionBox;
        for (LONG y = by0; y <= by1; ++y) {
            for (LONG x = bx0; x <= bx1; ++x) {
                const size_t at = size_t(y) * size_t(width) + size_t(x);
                if (plane[at] == kOutside) continue;
                selection[at] = kSelected;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::min(box.bottom, y);
                box.top = std::max(box.top, y + 1);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool RxImage::SelectionAddColor(RGBQUAD color) {
    if (!dib || (!selection && !SelectionCreate())) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    RECT& box = info.selectionBox;
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            const RGBQUAD c = GetPixelColor(x, y);
            if (c.rgbRed != color.rgbRed || c.rgbGreen != color.rgbGreen || c.rgbBlue != color.rgbBlue)
                continue;
            selection[size_t(y) * size_t(width) + size_t(x)] = kSelected;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::min(box.bottom, y);
            box.top = std::max(box.top, y + 1);
        }
    }
    return true;
}

bool RxImage::SelectionToHRGN(RowRuns* region) {
    if (!selection || !region) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    for (LONG y = 0; y < height; ++y) {
        const BYTE* row = selection + size_t(y) * size_t(width);
        for (LONG x = 0; x < width;) {
            if (row[x] != kSelected) {
                ++x;
                continue;
            }
            const LONG start = x;
            while (x < width && row[x] == kSelected) ++x;
            region->push_back(RECT{start, y, x, y + 1});
        }
    }
    return true;
}
