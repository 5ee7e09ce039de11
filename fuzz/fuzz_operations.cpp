// Random pictures through random sequences of the pixel operations, with
// hostile parameters (any integer edge, any float bit pattern).

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/RxImage.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool Empty() const { return at >= size; }
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Int() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        return int32_t(v);
    }
    float Float() {
        const uint32_t bits = uint32_t(Int());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A size that may be zero, negative or small, never one that would
    // allocate more than the fuzzer allows.
    LONG Size() { return LONG(int8_t(Byte())) * 3; }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

void Fill(RxImage& image, Input& in) {
    BYTE* bits = image.GetBits();
    const DWORD bytes = image.GetSize() - DWORD(image.GetBits() - static_cast<BYTE*>(image.GetDIB()));
    for (DWORD i = 0; i < bytes && !in.Empty(); ++i) bits[i] = in.Byte();
    for (DWORD i = 0; i < image.GetNumColors(); ++i)
        image.SetPaletteColor(BYTE(i), RGBQUAD{in.Byte(), in.Byte(), in.Byte(), in.Byte()});
}

void Step(RxImage& image, Input& in) {
    switch (in.Byte() % 34) {
        case 0: image.GrayScale(); break;
        case 1: image.Flip(); break;
        case 2: image.Mirror(); break;
        case 3: image.RotateLeft(); break;
        case 4: image.RotateRight(); break;
        case 5: image.Rotate180(); break;
        case 6: image.Rotate(in.Float()); break;
        case 7: image.Negative(); break;
        case 8: {
            const DWORD bits = in.Byte() % 10;
            const bool diffuse = in.Byte() & 1;
            image.DecreaseBpp(bits, diffuse);
            break;
        }
        case 9: image.IncreaseBpp(in.Byte() % 30); break;
        case 10: image.Dither(in.Int()); break;
        case 11: {
            const LONG l = in.Int(), t = in.Int(), r = in.Int(), b = in.Int();
            image.Crop(l, t, r, b);
            break;
        }
        case 12: {
            const float xg = in.Float(), yg = in.Float();
            const LONG xp = in.Int(), yp = in.Int();
            image.Skew(xg, yg, xp, yp);
            break;
        }
        case 13: {
            const LONG w = in.Size(), h = in.Size();
            image.Resample(w, h, in.Byte() % 4);
            break;
        }
        case 14: image.ConvertWB(); break;
        case 15: image.ConvertWB2(RGBQUAD{in.Byte(), in.Byte(), in.Byte(), 0}); break;
        case 16: image.AlphaCreate(); break;
        case 17: image.AlphaSet(in.Byte()); break;
        case 18: image.AlphaStrip(); break;
        case 19: image.AlphaInvert(); break;
        case 20: image.SelectionAddRect(RECT{in.Int(), in.Int(), in.Int(), in.Int()}); break;
        case 21: image.SelectionAddEllipse(RECT{in.Int(), in.Int(), in.Int(), in.Int()}); break;
        case 22: {
            POINT points[8];
            const LONG count = in.Byte() % 9;
            for (LONG i = 0; i < count; ++i) points[i] = POINT{in.Int(), in.Int()};
            image.SelectionAddPolygon(points, count);
            break;
        }
        case 23: image.SelectionAddColor(RGBQUAD{in.Byte(), in.Byte(), in.Byte(), 0}); break;
        case 24: image.SelectionInvert(); break;
        case 25: {
            RxImage::RowRuns runs;
            image.SelectionToHRGN(&runs);
            break;
        }
        case 26: image.SwapIndex(in.Byte(), in.Byte()); break;
        case 27: image.BlendPalette(COLORREF(in.Int()), in.Int()); break;
        case 28: image.SetStdPalette(); break;
        case 29: image.SetTransIndex(in.Int()); break;
        case 30: image.SetTransColor(RGBQUAD{in.Byte(), in.Byte(), in.Byte(), in.Byte()}); break;
        case 31: {
            RxImage target(0);
            image.AlphaSplit(&target);
            image.AlphaPaletteSplit(&target);
            break;
        }
        case 32: {
            const LONG x = in.Int(), y = in.Int();
            image.SetPixelColor(x, y, RGBQUAD{in.Byte(), in.Byte(), in.Byte(), in.Byte()}, true);
            image.GetPixelColor(x, y);
            image.GetPixelIndex(x, y);
            break;
        }
        default: image.SelectionDelete(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const DWORD width = in.Byte() % 40, height = in.Byte() % 40;
    static const DWORD kDepths[] = {1, 4, 8, 24};
    RxImage image(width, height, kDepths[in.Byte() % 4], 0);
    if (!image.IsValid()) return 0;
    Fill(image, in);
    for (int steps = 0; steps < 12 && !in.Empty(); ++steps) Step(image, in);
    return 0;
}
