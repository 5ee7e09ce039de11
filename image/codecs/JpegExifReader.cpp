#include "image/codecs/JpegExifReader.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "image/RxFile.h"

namespace {

// Bounded reader of the TIFF structure inside an Exif section.
class ExifBlock {
public:
    ExifBlock(const uint8_t* data, size_t length) : data_(data), length_(length) {}

    bool ReadByteOrder() {
        if (length_ < 8) return false;
        if (data_[0] == 'I' && data_[1] == 'I')
            motorola_ = false;
        else if (data_[0] == 'M' && data_[1] == 'M')
            motorola_ = true;
        else
            return false;
        return U16(2) == 42;
    }

    bool Has(uint64_t offset, uint64_t count) const { return offset + count <= length_; }

    uint32_t U16(size_t offset) const {
        const uint8_t* p = data_ + offset;
        return motorola_ ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]);
    }

    uint32_t U32(size_t offset) const {
        const uint8_t* p = data_ + offset;
        return motorola_ ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                         : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }

    const uint8_t* At(size_t offset) const { return data_ + offset; }

private:
    const uint8_t* data_;
    size_t length_;
    bool motorola_ = false;
};

enum ExifFormat {
    kByte = 1, kAscii, kShort, kLong, kRational, kSByte, kUndefined, kSShort, kSLong, kSRational,
    kFloat, kDouble
};

const uint8_t kFormatBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

enum ExifTag : uint32_t {
    kMake = 0x010F,
    kModel = 0x0110,
    kOrientation = 0x0112,
    kXResolution = 0x011A,
    kYResolution = 0x011B,
    kResolutionUnit = 0x0128,
    kDateTime = 0x0132,
    kExposureTime = 0x829A,
    kFNumber = 0x829D,
    kExifIfd = 0x8769,
    kIsoSpeed = 0x8827,
    kDateTimeOriginal = 0x9003,
    kFlash = 0x9209,
    kFocalLength = 0x920A,
};

// One directory entry whose value lies inside the block.
struct ExifValue {
    const ExifBlock* block;
    uint32_t format;
    uint32_t count;
    size_t offset;

    double Number() const {
        switch (format) {
        case kByte:
        case kUndefined: return *block->At(offset);
        case kSByte: return int8_t(*block->At(offset));
        case kShort: return block->U16(offset);
        case kSShort: return int16_t(block->U16(offset));
        case kLong: return block->U32(offset);
        case kSLong: return int32_t(block->U32(offset));
        case kRational:
        case kSRational: {
            uint32_t num = block->U32(offset), den = block->U32(offset + 4);
            if (den == 0) return 0;
            if (format == kSRational) return double(int32_t(num)) / double(int32_t(den));
            return double(num) / double(den);
        }
        case kFloat: {
            uint32_t bits = block->U32(offset);
            float value;
            std::memcpy(&value, &bits, sizeof(value));
            return value;
        }
        case kDouble: {
            uint64_t bits = uint64_t(block->U32(offset)) << 32 | block->U32(offset + 4);
            double value;
            std::memcpy(&value, &bits, sizeof(value));
            return value;
        }
        default: return 0;
        }
    }

    void Text(char* target, size_t size) const {
        size_t n = count < size - 1 ? count : size - 1;
        std::memcpy(target, block->At(offset), n);
        target[n] = '\0';
    }
};

// Values of hostile files may lie outside every range; converting such a
// double to int or float is undefined, so it is clamped first.
int ClampedInt(double v) {
    if (!(v > -1e9)) return v < 0 ? -1000000000 : 0;  // also NaN
    return v < 1e9 ? int(v) : 1000000000;
}

float ClampedFloat(double v) {
    if (!(v > -1e30)) return v < 0 ? -1e30f : 0.0f;
    return v < 1e30 ? float(v) : 1e30f;
}

// The length of a resolution unit in inches, as the tag's values name them.
float UnitInInches(int unit) {
    switch (unit) {
    case 1:
    case 2: return 1.0f;
    case 3: return 0.3937007874f;
    case 4: return 0.03937007874f;
    case 5: return 0.00003937007874f;
    default: return 0.0f;
    }
}

void StoreValue(RxExifInfo* record, uint32_t tag, const ExifValue& value) {
    switch (tag) {
    case kMake: value.Text(record->cameraMake, sizeof(record->cameraMake)); break;
    case kModel: value.Text(record->cameraModel, sizeof(record->cameraModel)); break;
    case kDateTime:
        // The original date wins over the date of the last change.
        if (!record->dateTime[0]) value.Text(record->dateTime, sizeof(record->dateTime));
        break;
    case kDateTimeOriginal: value.Text(record->dateTime, sizeof(record->dateTime)); break;
    case kOrientation: record->orientation = ClampedInt(value.Number()); break;
    case kXResolution: record->xResolution = ClampedFloat(value.Number()); break;
    case kYResolution: record->yResolution = ClampedFloat(value.Number()); break;
    case kResolutionUnit: record->resolutionUnit = UnitInInches(ClampedInt(value.Number())); break;
    case kExposureTime: record->exposureTime = ClampedFloat(value.Number()); break;
    case kFNumber: record->apertureFNumber = ClampedFloat(value.Number()); break;
    case kFocalLength: record->focalLength = ClampedFloat(value.Number()); break;
    case kIsoSpeed: record->isoEquivalent = ClampedInt(value.Number()); break;
    case kFlash: record->flashUsed = (ClampedInt(value.Number()) & 1) ? 1 : 0; break;
    default: break;
    }
}

// Walks one directory; the Exif sub-directory is followed once, so a
// directory that points at itself cannot loop.
void ReadDirectory(const ExifBlock& block, uint32_t start, RxExifInfo* record, int depth) {
    if (depth > 1 || !block.Has(start, 2)) return;
    uint32_t entries = block.U16(start);
    for (uint32_t i = 0; i < entries; ++i) {
        uint64_t entry = uint64_t(start) + 2 + uint64_t(i) * 12;
        if (!block.Has(entry, 12)) return;
        uint32_t tag = block.U16(size_t(entry));
        uint32_t format = block.U16(size_t(entry) + 2);
        uint32_t count = block.U32(size_t(entry) + 4);
        if (format == 0 || format > kDouble || count == 0) continue;
        uint64_t bytes = uint64_t(count) * kFormatBytes[format];
        uint64_t offset = bytes <= 4 ? entry + 8 : block.U32(size_t(entry) + 8);
        if (!block.Has(offset, bytes)) continue;
        ExifValue value{&block, format, count, size_t(offset)};
        if (tag == kExifIfd)
            ReadDirectory(block, value.format == kLong ? block.U32(value.offset) : 0, record, depth + 1);
        else
            StoreValue(record, tag, value);
    }
}

}  // namespace

JpegExifReader::JpegExifReader(RxExifInfo* record) : record_(record) {
    std::memset(record_, 0, sizeof(*record_));
    record_->flashUsed = -1;
}

void JpegExifReader::Fail(const char* text, bool print) {
    std::snprintf(record_->lastError, sizeof(record_->lastError), "%s", text);
    if (print) std::fputs(text, stdout);
}

bool JpegExifReader::Read(RxFile* file) {
    if (!file) return false;
    int32_t start = file->Tell();
    try {
        ReadSections(file);
    } catch (const std::bad_alloc&) {
        Fail("Could not allocate memory");
    }
    file->Seek(start, SEEK_SET);
    return record_->isExif;
}

bool JpegExifReader::ReadSections(RxFile* file) {
    if (file->GetC() != 0xFF || file->GetC() != 0xD8) {
        Fail("Not a JPEG file");
        return false;
    }
    for (;;) {
        if (sections_.size() >= size_t(kMaxSections)) {
            Fail("Too many sections in jpg file");
            return false;
        }
        int marker = 0;
        int padding = 0;
        for (;;) {
            marker = file->GetC();
            if (marker != 0xFF) break;
            if (++padding > 6) {
                Fail("too many padding bytes\n", true);
                return false;
            }
        }
        if (marker < 0 || padding == 0) {
            Fail("Premature end of file?");
            return false;
        }
        int high = file->GetC(), low = file->GetC();
        if (marker == 0xD9) {
            Fail("No image in jpeg!\n", true);
            return false;
        }
        if (high < 0 || low < 0) {
            Fail("Premature end of file?");
            return false;
        }
        int length = high << 8 | low;
        if (length < 2) {
            Fail("invalid marker");
            return false;
        }
        Section section{marker, {}};
        section.data.resize(size_t(length - 2));
        if (!section.data.empty() &&
            file->Read(section.data.data(), 1, section.data.size()) != section.data.size()) {
            Fail("Premature end of file?");
            return false;
        }
        switch (marker) {
        case 0xDA: return true;  // scan data follows: the sections are all read
        case 0xE0: continue;     // the JFIF header is read by the decoder itself
        case 0xE1: TakeExif(section); break;
        case 0xFE: TakeComment(section); break;
        case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC5: case 0xC6: case 0xC7:
        case 0xC9: case 0xCA: case 0xCB: case 0xCD: case 0xCE: case 0xCF:
            record_->process = marker;
            TakeFrame(section);
            break;
        default: break;
        }
        sections_.push_back(std::move(section));
    }
}

void JpegExifReader::TakeFrame(const Section& section) {
    const std::vector<uint8_t>& d = section.data;
    if (d.size() < 6) return;
    record_->height = d[1] << 8 | d[2];
    record_->width = d[3] << 8 | d[4];
    record_->components = d[5];
}

void JpegExifReader::TakeComment(const Section& section) {
    if (record_->comment[0]) return;
    size_t n = section.data.size() < sizeof(record_->comment) - 1 ? section.data.size()
                                                                  : sizeof(record_->comment) - 1;
    if (n) std::memcpy(record_->comment, section.data.data(), n);
    record_->comment[n] = '\0';
}

void JpegExifReader::TakeExif(const Section& section) {
    static const uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    const std::vector<uint8_t>& d = section.data;
    if (d.size() < 6 || std::memcmp(d.data(), kExifHeader, 4) != 0) return;
    ExifBlock block(d.data() + 6, d.size() - 6);
    if (!block.ReadByteOrder()) return;
    record_->isExif = true;
    ReadDirectory(block, block.U32(4), record_, 0);
}
