#include "image/RxFile.h"

RxFile::~RxFile() = default;

bool RxFile::PutC(unsigned char c) {
    return Write(&c, 1, 1) == 1;
}
