// The controls gallery: shows the stock controls in one dialog, driven by the
// offscreen script (PDFIMPORT_SCRIPT) or shown on a display.

#include <cstdio>

#include "examples/gallery/GalleryDialog.h"
#include "resources/ConverterResources.h"

int main() {
    ConverterResources::Register();
    GalleryDialog gallery;
    INT_PTR result = gallery.DoModal();
    std::printf("gallery closed with %d\n", int(result));
    return result < 0 ? 1 : 0;
}
