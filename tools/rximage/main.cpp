// rximage: prints what the image classes make of a picture file, or converts
// it to the format named by the output file's extension.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "image/RxImage.h"
#include "tools/rximage/ImageOperations.h"

namespace {

// Type 0 after a load: the component codec recognised the content itself.
const char* const kFormatNames[RXIMAGE_FORMAT_COUNT] = {"PNM or JPEG 2000 (by content)", "BMP", "GIF", "JPEG", "PNG",
                                                        "TIFF",       "TGA", "PCX", "WBMP", "PNM"};

struct Extension {
    const char* suffix;
    DWORD type;
};

const Extension kExtensions[] = {
    {"bmp", RXIMAGE_FORMAT_BMP},  {"gif", RXIMAGE_FORMAT_GIF},   {"jpg", RXIMAGE_FORMAT_JPG},
    {"jpeg", RXIMAGE_FORMAT_JPG}, {"png", RXIMAGE_FORMAT_PNG},   {"tif", RXIMAGE_FORMAT_TIF},
    {"tiff", RXIMAGE_FORMAT_TIF}, {"tga", RXIMAGE_FORMAT_TGA},   {"pcx", RXIMAGE_FORMAT_PCX},
    {"wbmp", RXIMAGE_FORMAT_WBMP}, {"pnm", RXIMAGE_FORMAT_PNM}, {"ppm", RXIMAGE_FORMAT_PNM},
    {"pgm", RXIMAGE_FORMAT_PNM},  {"pbm", RXIMAGE_FORMAT_PNM},
};

void Usage() {
    std::fprintf(stderr,
                 "usage: rximage info FILE [--type N] [--frame N]\n"
                 "       rximage convert IN OUT [--type N] [--frame N] [--quality Q] [--option N]\n"
                 "format numbers: 0 by content, 1 BMP, 2 GIF, 3 JPEG, 4 PNG, 5 TIFF, 6 TGA, 7 PCX,\n"
                 "                8 WBMP, 9 PNM\n");
    std::fputs(ImageOperations::Usage(), stderr);
}

bool ParseNumber(const char* text, long low, long high, long* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (*end || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

struct Options {
    long type = 0;
    long frame = 0;
    long quality = -1;
    long option = -1;
};

// Reads the --name value pairs (and, when converting, the operations) from
// argv[first]; false on anything unknown.
bool ParseOptions(int argc, char** argv, int first, bool converting, Options* options,
                  ImageOperations* operations = nullptr) {
    for (int i = first; i < argc; i += 2) {
        if (converting && operations) {
            const int used = operations->Parse(argc, argv, i);
            if (used < 0) return false;
            if (used > 0) {
                i += used - 2;
                continue;
            }
        }
        const char* name = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok;
        if (std::strcmp(name, "--type") == 0)
            ok = ParseNumber(value, 0, RXIMAGE_FORMAT_COUNT - 1, &options->type);
        else if (std::strcmp(name, "--frame") == 0)
            ok = ParseNumber(value, 0, INT32_MAX, &options->frame);
        else if (converting && std::strcmp(name, "--quality") == 0)
            ok = ParseNumber(value, 0, 100, &options->quality);
        else if (converting && std::strcmp(name, "--option") == 0)
            ok = ParseNumber(value, 0, UINT32_MAX, &options->option);
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "rximage: bad option %s %s\n", name, value ? value : "");
            return false;
        }
    }
    return true;
}

bool LoadPicture(RxImage& image, const char* path, const Options& options) {
    image.SetFrame(LONG(options.frame));
    if (image.Load(path, DWORD(options.type))) return true;
    const char* reason = image.GetLastError();
    std::fprintf(stderr, "%s: %s\n", path, *reason ? reason : "cannot open the file");
    return false;
}

int Info(int argc, char** argv) {
    if (argc < 3) {
        Usage();
        return 2;
    }
    Options options;
    if (!ParseOptions(argc, argv, 3, false, &options)) return 2;
    RxImage image(0);
    if (!LoadPicture(image, argv[2], options)) return 1;
    DWORD type = image.GetType();
    std::printf("format: %s\n", type < RXIMAGE_FORMAT_COUNT ? kFormatNames[type] : "?");
    std::printf("width: %d\n", int(image.GetWidth()));
    std::printf("height: %d\n", int(image.GetHeight()));
    std::printf("bits per pixel: %d\n", int(image.GetBpp()));
    std::printf("colours: %u\n", unsigned(image.GetNumColors()));
    std::printf("frames: %d\n", int(image.GetNumFrames()));
    std::printf("resolution: %d x %d dpi\n", int(image.GetXDPI()), int(image.GetYDPI()));
    if (image.IsTransparent()) {
        RGBQUAD c = image.GetTransColor();
        std::printf("transparency: index %d, colour %d %d %d\n", int(image.GetTransIndex()), c.rgbRed,
                    c.rgbGreen, c.rgbBlue);
    } else if (image.AlphaIsValid()) {
        std::printf("transparency: alpha plane\n");
    } else if (image.AlphaPaletteIsEnabled()) {
        std::printf("transparency: palette alpha\n");
    } else {
        std::printf("transparency: none\n");
    }
    return 0;
}

bool TypeOfName(const char* path, DWORD* type) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '/');
    if (!dot || (slash && dot < slash)) return false;
    for (const Extension& e : kExtensions)
        if (strcasecmp(dot + 1, e.suffix) == 0) {
            *type = e.type;
            return true;
        }
    return false;
}

int Convert(int argc, char** argv) {
    if (argc < 4) {
        Usage();
        return 2;
    }
    Options options;
    ImageOperations operations;
    if (!ParseOptions(argc, argv, 4, true, &options, &operations)) return 2;
    DWORD outputType = 0;
    if (!TypeOfName(argv[3], &outputType)) {
        std::fprintf(stderr, "%s: unknown output format (use .bmp .gif .jpg .png .tif .tga .pcx .wbmp .pnm)\n",
                     argv[3]);
        return 2;
    }
    RxImage image(0);
    if (!LoadPicture(image, argv[2], options)) return 1;
    if (!operations.Apply(image)) return 1;
    if (options.quality >= 0) image.SetJpegQuality(BYTE(options.quality));
    if (options.option >= 0) image.SetEncodeOption(DWORD(options.option));
    if (!image.Save(argv[3], outputType)) {
        const char* reason = image.GetLastError();
        std::fprintf(stderr, "%s: %s\n", argv[3], *reason ? reason : "cannot write the file");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0) return Info(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "convert") == 0) return Convert(argc, argv);
    Usage();
    return 2;
}
