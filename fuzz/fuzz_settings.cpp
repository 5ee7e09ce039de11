// Any bytes as the image settings file; the values read are written back and
// must read again to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dialog/ImageSettings.h"
#include "fuzz/FuzzTempFile.h"

namespace {

bool SameValues(const ImageSettings& a, const ImageSettings& b) {
    return a.imageToDwg == b.imageToDwg && a.lineType == b.lineType && a.background == b.background &&
           a.ignoreColor == b.ignoreColor && a.appendFile == b.appendFile && a.layoutPerImage == b.layoutPerImage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzTempFile input("ImageSet.dat");
    static const FuzzTempFile rewritten("ImageSet.rewritten");
    if (!input.Write(data, size)) std::abort();
    ImageSettings settings;
    if (!settings.Load(input.Path())) std::abort();  // a regular readable file always loads
    if (!settings.Save(rewritten.Path())) std::abort();
    ImageSettings again;
    again.imageToDwg = again.lineType = again.background = 7;
    again.ignoreColor = again.appendFile = again.layoutPerImage = 7;
    if (!again.Load(rewritten.Path()) || !SameValues(settings, again)) std::abort();
    return 0;
}
