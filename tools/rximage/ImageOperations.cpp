#include "tools/rximage/ImageOperations.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads `count` integers separated by `separator`; the whole text must be used.
bool ParseIntegers(const char* text, char separator, int count, long* values) {
    const char* at = text;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtol(at, &end, 10);
        if (end == at || values[i] < INT32_MIN || values[i] > INT32_MAX) return false;
        const bool last = i == count - 1;
        if (last ? *end != '\0' : *end != separator) return false;
        at = end + 1;
    }
    return true;
}

}  // namespace

const char* ImageOperations::Usage() {
    return "operations (convert; applied in the order given, before saving):\n"
           "  --gray  --flip  --mirror  --negative\n"
           "  --rotate DEG          any angle; 90, 180, 270 are exact quarter turns\n"
           "  --resample WxH[:M]    M: 1 nearest, 2 B-spline, 3 bilinear or area average (default)\n"
           "  --crop L,T,R,B        edges in pixels, top and bottom counted from the top\n"
           "  --dither N            to black and white: 0 error diffusion, 1 ordered\n"
           "  --bpp N               1, 4 or 8 (standard palette, error diffusion) or 24\n";
}

int ImageOperations::Parse(int argc, char** argv, int index) {
    static const struct {
        const char* option;
        Kind kind;
        bool takesValue;
    } kNames[] = {
        {"--gray", Kind::Gray, false},         {"--flip", Kind::Flip, false},
        {"--mirror", Kind::Mirror, false},     {"--negative", Kind::Negative, false},
        {"--rotate", Kind::Rotate, true},      {"--resample", Kind::Resample, true},
        {"--crop", Kind::Crop, true},          {"--dither", Kind::Dither, true},
        {"--bpp", Kind::Bpp, true},
    };
    const char* option = argv[index];
    for (const auto& n : kNames) {
        if (std::strcmp(option, n.option) != 0) continue;
        Step step;
        step.kind = n.kind;
        step.name = n.option;
        if (!n.takesValue) {
            steps.push_back(step);
            return 1;
        }
        const char* value = index + 1 < argc ? argv[index + 1] : nullptr;
        if (!value || !ParseValue(n.kind, value, &step)) {
            std::fprintf(stderr, "rximage: bad value for %s: %s\n", option, value ? value : "(none)");
            return -1;
        }
        steps.push_back(step);
        return 2;
    }
    return 0;
}

bool ImageOperations::ParseValue(Kind kind, const char* text, Step* step) {
    long* v = step->values;
    switch (kind) {
        case Kind::Rotate: {
            char* end = nullptr;
            const double angle = std::strtod(text, &end);
            if (end == text || *end || !std::isfinite(angle) || std::fabs(angle) > 1e6) return false;
            step->angle = float(angle);
            return true;
        }
        case Kind::Resample: {
            v[2] = 3;
            const char* colon = std::strchr(text, ':');
            if (colon) {
                char* end = nullptr;
                v[2] = std::strtol(colon + 1, &end, 10);
                if (end == colon + 1 || *end || v[2] < 1 || v[2] > 3) return false;
            }
            char size[64];
            const size_t length = colon ? size_t(colon - text) : std::strlen(text);
            if (length == 0 || length >= sizeof size) return false;
            std::memcpy(size, text, length);
            size[length] = '\0';
            return ParseIntegers(size, 'x', 2, v) && v[0] > 0 && v[1] > 0;
        }
        case Kind::Crop:
            return ParseIntegers(text, ',', 4, v);
        case Kind::Dither:
            return ParseIntegers(text, '\0', 1, v) && (v[0] == 0 || v[0] == 1);
        case Kind::Bpp:
            return ParseIntegers(text, '\0', 1, v) && (v[0] == 1 || v[0] == 4 || v[0] == 8 || v[0] == 24);
        default:
            return false;
    }
}

bool ImageOperations::Apply(RxImage& image) const {
    for (const Step& step : steps) {
        if (!ApplyStep(step, image)) {
            std::fprintf(stderr, "rximage: %s failed on a %d x %d, %d-bit picture\n", step.name,
                         int(image.GetWidth()), int(image.GetHeight()), int(image.GetBpp()));
            return false;
        }
    }
    return true;
}

bool ImageOperations::ApplyStep(const Step& step, RxImage& image) {
    const long* v = step.values;
    switch (step.kind) {
        case Kind::Gray: return image.GrayScale();
        case Kind::Flip: return image.Flip();
        case Kind::Mirror: return image.Mirror();
        case Kind::Negative: return image.Negative();
        case Kind::Rotate: {
            // Quarter turns are exact; the free rotation samples.
            const double turns = std::fmod(std::fmod(double(step.angle), 360.0) + 360.0, 360.0);
            if (turns == 0) return true;
            if (turns == 90) return image.RotateRight();
            if (turns == 180) return image.Rotate180();
            if (turns == 270) return image.RotateLeft();
            return image.Rotate(step.angle);
        }
        case Kind::Resample: return image.Resample(LONG(v[0]), LONG(v[1]), int(v[2]));
        case Kind::Crop: return image.Crop(LONG(v[0]), LONG(v[1]), LONG(v[2]), LONG(v[3]));
        case Kind::Dither: return image.Dither(LONG(v[0]));
        case Kind::Bpp: {
            const DWORD bits = DWORD(v[0]);
            if (bits == image.GetBpp()) return true;
            return bits > image.GetBpp() ? image.IncreaseBpp(bits) : image.DecreaseBpp(bits, true);
        }
    }
    return false;
}
