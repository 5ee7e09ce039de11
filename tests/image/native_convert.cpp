// Converts a picture through the image classes linked statically, as the
// rximage tool does through the shared library:
//   native_convert IN OUT [--frame N] [--option N]
// OUT's extension names the format. Exit status 1 with the image's error text
// when loading or saving fails.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "image/RxImage.h"

namespace {

DWORD TypeOfName(const char* path) {
    static const struct {
        const char* suffix;
        DWORD type;
    } kTypes[] = {{"bmp", RXIMAGE_FORMAT_BMP}, {"gif", RXIMAGE_FORMAT_GIF}, {"tga", RXIMAGE_FORMAT_TGA},
                  {"pcx", RXIMAGE_FORMAT_PCX}, {"wbmp", RXIMAGE_FORMAT_WBMP}, {"ppm", RXIMAGE_FORMAT_PNM}};
    const char* dot = std::strrchr(path, '.');
    for (const auto& t : kTypes)
        if (dot && strcasecmp(dot + 1, t.suffix) == 0) return t.type;
    return RXIMAGE_FORMAT_UNKNOWN;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: native_convert IN OUT [--frame N] [--option N]\n");
        return 2;
    }
    RxImage image(0);
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frame") == 0) image.SetFrame(LONG(std::atol(argv[i + 1])));
        if (std::strcmp(argv[i], "--option") == 0) image.SetEncodeOption(DWORD(std::atol(argv[i + 1])));
    }
    DWORD option = image.GetEncodeOption();
    if (!image.Load(argv[1], 0)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], image.GetLastError());
        return 1;
    }
    image.SetEncodeOption(option);
    if (!image.Save(argv[2], TypeOfName(argv[2]))) {
        std::fprintf(stderr, "%s: %s\n", argv[2], image.GetLastError());
        return 1;
    }
    return 0;
}
