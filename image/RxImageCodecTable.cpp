#include "image/RxImageCodecTable.h"

#include "image/codecs/RxImageBMP.h"
#include "image/codecs/RxImageGIF.h"
#include "image/codecs/RxImageJAS.h"
#include "image/codecs/RxImageJPG.h"
#include "image/codecs/RxImagePCX.h"
#include "image/codecs/RxImagePNG.h"
#include "image/codecs/RxImageTGA.h"
#include "image/codecs/RxImageTIF.h"
#include "image/codecs/RxImageWBMP.h"

namespace {

// Content search order: BMP, JPEG, GIF, PNG, TIFF, TGA, PCX, WBMP, and last
// the component codec, which recognises its formats by content itself.
const RxImageCodecTable::Entry kCodecs[] = {
    RxImageCodecTable::Of<RxImageBMP>(RXIMAGE_FORMAT_BMP),
    RxImageCodecTable::Of<RxImageJPG>(RXIMAGE_FORMAT_JPG),
    RxImageCodecTable::WithPages<RxImageGIF>(RXIMAGE_FORMAT_GIF, true),
    RxImageCodecTable::Of<RxImagePNG>(RXIMAGE_FORMAT_PNG),
    RxImageCodecTable::WithPages<RxImageTIF>(RXIMAGE_FORMAT_TIF, true),
    RxImageCodecTable::Of<RxImageTGA>(RXIMAGE_FORMAT_TGA),
    RxImageCodecTable::Of<RxImagePCX>(RXIMAGE_FORMAT_PCX),
    RxImageCodecTable::Of<RxImageWBMP>(RXIMAGE_FORMAT_WBMP),
    RxImageCodecTable::Of<RxImageJAS>(RXIMAGE_FORMAT_PNM),
};

}  // namespace

const RxImageCodecTable::Entry* RxImageCodecTable::Find(DWORD type) {
    for (const Entry& entry : kCodecs)
        if (entry.type == type) return &entry;
    return nullptr;
}

size_t RxImageCodecTable::Count() {
    return sizeof(kCodecs) / sizeof(kCodecs[0]);
}

const RxImageCodecTable::Entry& RxImageCodecTable::At(size_t index) {
    return kCodecs[index];
}
