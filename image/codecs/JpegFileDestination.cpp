#include "image/codecs/JpegFileDestination.h"

#include <jerror.h>

#include "image/RxFile.h"

namespace {

JpegFileDestination* DestinationOf(j_compress_ptr cinfo) {
    return reinterpret_cast<JpegFileDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    destination->manager.next_output_byte = destination->block;
    destination->manager.free_in_buffer = JpegFileDestination::kBlockSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    if (destination->file->Write(destination->block, 1, JpegFileDestination::kBlockSize) !=
        JpegFileDestination::kBlockSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    size_t pending = JpegFileDestination::kBlockSize - destination->manager.free_in_buffer;
    if (pending && destination->file->Write(destination->block, 1, pending) != pending)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    if (!destination->file->Flush()) ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

void JpegFileDestination::Attach(j_compress_ptr cinfo, RxFile* target) {
    file = target;
    manager.init_destination = &InitDestination;
    manager.empty_output_buffer = &EmptyOutputBuffer;
    manager.term_destination = &TermDestination;
    cinfo->dest = &manager;
}
