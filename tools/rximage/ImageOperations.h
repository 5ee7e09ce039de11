#pragma once

#include <vector>

#include "image/RxImage.h"

// The picture operations of the rximage command line (--gray, --flip,
// --mirror, --rotate, --resample, --crop, --dither, --bpp, --negative),
// kept in the order given and applied in that order before saving.
class ImageOperations {
public:
    // Looks at argv[index]: the number of arguments that the operation there
    // takes up (1 or 2), 0 when it names no operation, -1 when its value is
    // wrong (a message has been printed).
    int Parse(int argc, char** argv, int index);
    // Applies every operation in order; false, with a message, at the first
    // that fails.
    bool Apply(RxImage& image) const;
    static const char* Usage();

private:
    enum class Kind { Gray, Flip, Mirror, Rotate, Resample, Crop, Dither, Bpp, Negative };
    struct Step {
        Kind kind;
        const char* name;
        float angle = 0;
        long values[4] = {0, 0, 0, 0};
    };
    static bool ParseValue(Kind kind, const char* text, Step* step);
    static bool ApplyStep(const Step& step, RxImage& image);

    std::vector<Step> steps;
};
