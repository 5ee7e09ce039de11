#include "image/codecs/JpegFileSource.h"

#include <jerror.h>

#include "image/RxFile.h"

namespace {

JpegFileSource* SourceOf(j_decompress_ptr cinfo) {
    return reinterpret_cast<JpegFileSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo)->atStart = true;
    SourceOf(cinfo)->atEnd = false;
}

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegFileSource* source = SourceOf(cinfo);
    size_t got = size_t(source->file->Read(source->block, 1, JpegFileSource::kBlockSize));
    if (got == 0) {
        if (source->atStart) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->atEnd = true;
        source->block[0] = kEndOfImage[0];
        source->block[1] = kEndOfImage[1];
        got = 2;
    }
    source->atStart = false;
    source->manager.next_input_byte = source->block;
    source->manager.bytes_in_buffer = got;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegFileSource* source = SourceOf(cinfo);
    size_t remaining = size_t(count);
    while (remaining > source->manager.bytes_in_buffer) {
        remaining -= source->manager.bytes_in_buffer;
        FillInputBuffer(cinfo);
        // Past the end there is only the stand-in marker: keep it.
        if (source->atEnd) return;
    }
    source->manager.next_input_byte += remaining;
    source->manager.bytes_in_buffer -= remaining;
}

// The file belongs to the caller, who closes it.
void TermSource(j_decompress_ptr) {}

}  // namespace

void JpegFileSource::Attach(j_decompress_ptr cinfo, RxFile* source) {
    file = source;
    atStart = true;
    atEnd = false;
    manager.init_source = &InitSource;
    manager.fill_input_buffer = &FillInputBuffer;
    manager.skip_input_data = &SkipInputData;
    manager.resync_to_restart = &jpeg_resync_to_restart;
    manager.term_source = &TermSource;
    manager.next_input_byte = nullptr;
    manager.bytes_in_buffer = 0;
    cinfo->src = &manager;
}
