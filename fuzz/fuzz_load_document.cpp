// Any bytes as the PDF file that the converter window loads: open it, count
// its pages, render page 1 fitted to a small preview, read the page objects,
// and load the rendered page image the way the preview pane does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <Error.h>

#include "fuzz/FuzzTempFile.h"
#include "image/RxImage.h"
#include "preview/PageRasterizer.h"

namespace {

// The library's complaints about damaged files would drown the fuzzer's
// own output; the window shows none either.
void Quiet(ErrorCategory, Goffset, const char*) {}

}  // namespace

// Font configuration keeps its own tables until the process ends.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzTempFile document("document.pdf");
    static const FuzzTempFile pageImage("ATemp1.ppm");
    static const bool quiet = (setErrorCallback(&Quiet), true);
    (void)quiet;
    if (!document.Write(data, size)) std::abort();
    std::remove(pageImage.Path().c_str());

    PageRasterizer rasterizer;
    int pageCount = 0;
    const RECT preview = {0, 0, 60, 80};
    if (!rasterizer.OpenAndRender(document.Path(), 1, preview, pageImage.Path(), pageCount)) {
        if (rasterizer.IsOpen()) std::abort();  // a failed load keeps nothing open
        return 0;
    }
    if (pageCount < 1) std::abort();
    for (int page = 0; page <= pageCount + 1 && page < 4; ++page) rasterizer.PageReference(page);

    RxImage image(0);
    RxImage::SetDecodeLimit(64u << 20);
    if (!image.Load(pageImage.Path().c_str(), 0)) std::abort();  // what we render we must read
    if (pageCount > 1) rasterizer.Render(2, preview, pageImage.Path());
    return 0;
}
