#include "image/codecs/PnmComponentCodec.h"

#include <cstring>
#include <new>
#include <vector>

#include "image/codecs/ComponentImage.h"
#include "image/codecs/ComponentStream.h"

namespace {

// A malformed file ends the decode with one of these texts.
struct PnmError {
    const char* text;
};

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Skips white space and comments (from '#' to the end of the line); returns
// the first other byte, or -1 at the end of the data.
int SkipSpace(ComponentStream& stream) {
    int c = stream.GetC();
    for (;;) {
        if (c == '#') {
            while (c != -1 && c != '\n' && c != '\r') c = stream.GetC();
        } else if (IsSpace(c)) {
            c = stream.GetC();
        } else {
            return c;
        }
    }
}

// An unsigned decimal header field; values above `limit` fail with `tooLarge`.
uint32_t ReadField(ComponentStream& stream, uint32_t limit, const char* tooLarge) {
    int c = SkipSpace(stream);
    if (c == -1) throw PnmError{"truncated header"};
    if (c < '0' || c > '9') throw PnmError{"malformed header"};
    uint64_t value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + uint64_t(c - '0');
        if (value > limit) throw PnmError{tooLarge};
        c = stream.GetC();
    }
    // The field ends with one white space byte (or a comment).
    if (c == '#') {
        while (c != -1 && c != '\n' && c != '\r') c = stream.GetC();
    } else if (c != -1 && !IsSpace(c)) {
        throw PnmError{"malformed header"};
    }
    return uint32_t(value);
}

int PrecisionOf(uint32_t maxValue) {
    int bits = 1;
    while ((uint32_t(1) << bits) - 1 < maxValue) ++bits;
    return bits;
}

// Maps samples of 0..maxValue onto the full range of the precision, so that
// the maximum stays white whatever maximum value the file chose.
class SampleScale {
public:
    SampleScale(uint32_t maxValue, int precision)
        : maxValue(maxValue), full((uint32_t(1) << precision) - 1) {}
    uint32_t operator()(uint32_t sample) const {
        if (sample > maxValue) sample = maxValue;
        if (maxValue == full) return sample;
        return (sample * full + maxValue / 2) / maxValue;
    }
    bool Identity() const { return maxValue == full; }

private:
    uint32_t maxValue;
    uint32_t full;
};

uint32_t ReadAsciiSample(ComponentStream& stream) {
    int c = SkipSpace(stream);
    if (c == -1) throw PnmError{"truncated pixel data"};
    if (c < '0' || c > '9') throw PnmError{"malformed pixel data"};
    uint32_t value = 0;
    while (c >= '0' && c <= '9') {
        if (value < 1000000) value = value * 10 + uint32_t(c - '0');
        c = stream.GetC();
    }
    if (c != -1 && !IsSpace(c) && c != '#') throw PnmError{"malformed pixel data"};
    if (c == '#')
        while (c != -1 && c != '\n' && c != '\r') c = stream.GetC();
    return value;
}

void ReadBitmapAscii(ComponentStream& stream, ComponentImage& image, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.Row8(0, y, nullptr);
        for (int32_t x = 0; x < width; ++x) {
            int c = SkipSpace(stream);
            if (c == -1) throw PnmError{"truncated pixel data"};
            if (c != '0' && c != '1') throw PnmError{"malformed pixel data"};
            // A set bit is black; components hold intensities.
            row[x] = c == '0' ? 1 : 0;
        }
    }
}

void ReadBitmapBinary(ComponentStream& stream, ComponentImage& image, int32_t width, int32_t height) {
    size_t rowBytes = (size_t(width) + 7) / 8;
    std::vector<uint8_t> packed(rowBytes);
    for (int32_t y = 0; y < height; ++y) {
        if (stream.Read(packed.data(), rowBytes) != rowBytes) throw PnmError{"truncated pixel data"};
        uint8_t* row = image.Row8(0, y, nullptr);
        for (int32_t x = 0; x < width; ++x)
            row[x] = ((packed[size_t(x) >> 3] >> (7 - (x & 7))) & 1) ? 0 : 1;
    }
}

void ReadAscii(ComponentStream& stream, ComponentImage& image, int32_t width, int32_t height,
               int channels, const SampleScale& scale) {
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                image.SetSample(c, x, y, int32_t(scale(ReadAsciiSample(stream))));
}

void ReadBinary(ComponentStream& stream, ComponentImage& image, int32_t width, int32_t height,
                int channels, uint32_t maxValue, const SampleScale& scale) {
    size_t samplesPerRow = size_t(width) * size_t(channels);
    if (maxValue < 256 && scale.Identity()) {
        // Rows are contiguous in the interleaved buffer: read them in one go.
        size_t rowBytes = 0;
        uint8_t* first = image.InterleavedRow(0, 0, &rowBytes);
        size_t total = rowBytes * size_t(height);
        if (stream.Read(first, total) != total) throw PnmError{"truncated pixel data"};
        return;
    }
    size_t bytesPerSample = maxValue < 256 ? 1 : 2;
    std::vector<uint8_t> raw(samplesPerRow * bytesPerSample);
    for (int32_t y = 0; y < height; ++y) {
        if (stream.Read(raw.data(), raw.size()) != raw.size())
            throw PnmError{"truncated pixel data"};
        for (size_t i = 0; i < samplesPerRow; ++i) {
            uint32_t sample = bytesPerSample == 1 ? raw[i] : (uint32_t(raw[2 * i]) << 8) | raw[2 * i + 1];
            image.SetSample(int(i % size_t(channels)), int32_t(i / size_t(channels)), y,
                            int32_t(scale(sample)));
        }
    }
}

}  // namespace

bool PnmComponentCodec::Matches(const uint8_t* head, size_t count) {
    if (count < 3 || head[0] != 'P' || head[1] < '1' || head[1] > '6') return false;
    return IsSpace(head[2]) || head[2] == '#';
}

std::unique_ptr<ComponentImage> PnmComponentCodec::Decode(ComponentStream& stream, uint64_t byteLimit,
                                                          std::string* error) {
    try {
        if (stream.GetC() != 'P') throw PnmError{"not a PNM file"};
        int kind = stream.GetC() - '0';
        if (kind < 1 || kind > 6) throw PnmError{"not a PNM file"};
        bool bitmap = kind == 1 || kind == 4;
        bool ascii = kind <= 3;
        int channels = (kind == 3 || kind == 6) ? 3 : 1;

        const char* absurd = "absurd dimensions";
        uint32_t width = ReadField(stream, INT32_MAX, absurd);
        uint32_t height = ReadField(stream, INT32_MAX, absurd);
        if (width == 0 || height == 0) throw PnmError{"zero width or height"};
        uint32_t maxValue = 1;
        if (!bitmap) {
            maxValue = ReadField(stream, 65535, "bad maximum value");
            if (maxValue == 0) throw PnmError{"bad maximum value"};
        }

        ComponentImage::Component component;
        component.width = int32_t(width);
        component.height = int32_t(height);
        component.precision = PrecisionOf(maxValue);
        uint64_t bytes = ComponentImage::SampleBytes(width, height, component.precision, false);
        if (bytes == 0 || bytes > byteLimit / uint64_t(channels)) throw PnmError{"image too large"};

        // When the stream knows its length, a file far too short for its
        // header's size is refused before the pixels are allocated.
        uint64_t samples = uint64_t(width) * height * uint64_t(channels);
        uint64_t needed = kind == 4 ? (uint64_t(width) + 7) / 8 * height
                        : kind == 1 ? samples
                        : ascii ? samples * 2 - 1
                                : samples * (maxValue < 256 ? 1 : 2);
        int64_t length = stream.Length();
        int64_t position = stream.Tell();
        if (length >= 0 && position >= 0 && (length < position || uint64_t(length - position) < needed))
            throw PnmError{"truncated pixel data"};

        std::unique_ptr<ComponentImage> image(new (std::nothrow) ComponentImage);
        if (!image) throw PnmError{"cannot allocate memory"};
        std::string allocationError;
        if (!image->AddInterleaved(component, channels, &allocationError))
            throw PnmError{"cannot allocate memory"};
        if (channels == 3) {
            image->SetColorSpace(ComponentImage::ColorSpace::SRGB);
            image->SetType(0, ComponentImage::ComponentType::Red);
            image->SetType(1, ComponentImage::ComponentType::Green);
            image->SetType(2, ComponentImage::ComponentType::Blue);
        } else {
            image->SetColorSpace(ComponentImage::ColorSpace::Gray);
            image->SetType(0, ComponentImage::ComponentType::Gray);
        }

        SampleScale scale(maxValue, component.precision);
        if (kind == 1)
            ReadBitmapAscii(stream, *image, component.width, component.height);
        else if (kind == 4)
            ReadBitmapBinary(stream, *image, component.width, component.height);
        else if (ascii)
            ReadAscii(stream, *image, component.width, component.height, channels, scale);
        else
            ReadBinary(stream, *image, component.width, component.height, channels, maxValue, scale);
        return image;
    } catch (const PnmError& failure) {
        if (error) *error = std::string("PNM: ") + failure.text;
    } catch (const std::bad_alloc&) {
        if (error) *error = "PNM: cannot allocate memory";
    }
    return nullptr;
}

bool PnmComponentCodec::Encode(const ComponentImage& image, ComponentStream& stream,
                               const char* /*options: none apply to PNM*/, std::string* error) {
    int count = image.NumComponents();
    if (count != 1 && count != 3) {
        if (error) *error = "PNM: only grey or RGB pictures can be written";
        return false;
    }
    const ComponentImage::Component& base = image.Get(0);
    int precision = 1;
    for (int c = 0; c < count; ++c) {
        const ComponentImage::Component& component = image.Get(c);
        if (component.width != base.width || component.height != base.height) {
            if (error) *error = "PNM: components of different sizes";
            return false;
        }
        if (component.precision > 16 || component.isSigned) {
            if (error) *error = "PNM: unsupported sample precision";
            return false;
        }
        if (component.precision > precision) precision = component.precision;
    }
    uint32_t maxValue = (uint32_t(1) << precision) - 1;
    char headerText[64];
    int headerLength = std::snprintf(headerText, sizeof(headerText), "P%c\n%d %d\n%u\n",
                                     count == 3 ? '6' : '5', base.width, base.height, maxValue);
    if (stream.Write(headerText, size_t(headerLength)) != size_t(headerLength)) {
        if (error) *error = "PNM: write error";
        return false;
    }
    size_t bytesPerSample = maxValue > 255 ? 2 : 1;
    std::vector<uint8_t> out(size_t(base.width) * size_t(count) * bytesPerSample);
    std::vector<int32_t> row(size_t(base.width));
    for (int32_t y = 0; y < base.height; ++y) {
        for (int c = 0; c < count; ++c) {
            image.ReadRow(c, y, row.data());
            for (int32_t x = 0; x < base.width; ++x) {
                int32_t v = row[size_t(x)];
                uint32_t sample = v < 0 ? 0 : (uint32_t(v) > maxValue ? maxValue : uint32_t(v));
                size_t at = (size_t(x) * size_t(count) + size_t(c)) * bytesPerSample;
                if (bytesPerSample == 2) {
                    out[at] = uint8_t(sample >> 8);
                    out[at + 1] = uint8_t(sample);
                } else {
                    out[at] = uint8_t(sample);
                }
            }
        }
        if (stream.Write(out.data(), out.size()) != out.size()) {
            if (error) *error = "PNM: write error";
            return false;
        }
    }
    return true;
}
