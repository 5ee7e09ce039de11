#include "image/codecs/ComponentImage.h"

#include <cstdlib>
#include <cstring>
#include <new>

ComponentImage::~ComponentImage() = default;

namespace {

bool HeldAsBytes(int precision, bool isSigned) {
    return precision <= 8 && !isSigned;
}

std::shared_ptr<uint8_t> AllocateBlock(uint64_t bytes) {
    if (bytes > SIZE_MAX) return nullptr;
    void* block = std::malloc(bytes ? size_t(bytes) : 1);
    if (!block) return nullptr;
    return std::shared_ptr<uint8_t>(static_cast<uint8_t*>(block), [](uint8_t* p) { std::free(p); });
}

}  // namespace

uint64_t ComponentImage::SampleBytes(uint64_t width, uint64_t height, int precision, bool isSigned) {
    uint64_t samples;
    if (__builtin_mul_overflow(width, height, &samples)) return 0;
    uint64_t bytes;
    if (__builtin_mul_overflow(samples, uint64_t(HeldAsBytes(precision, isSigned) ? 1 : 4), &bytes))
        return 0;
    return bytes;
}

bool ComponentImage::Validate(const Component& component, std::string* error) {
    if (component.width <= 0 || component.height <= 0) {
        if (error) *error = "component has no pixels";
        return false;
    }
    if (component.precision < 1 || component.precision > 31) {
        if (error) *error = "unsupported sample precision";
        return false;
    }
    return true;
}

bool ComponentImage::AddComponent(const Component& component, std::string* error) {
    return AddInterleaved(component, 1, error);
}

bool ComponentImage::AddInterleaved(const Component& component, int count, std::string* error) {
    if (!Validate(component, error)) return false;
    if (count < 1) {
        if (error) *error = "no components";
        return false;
    }
    uint64_t plane = SampleBytes(uint64_t(component.width), uint64_t(component.height),
                                 component.precision, component.isSigned);
    uint64_t total;
    if (plane == 0 || __builtin_mul_overflow(plane, uint64_t(count), &total)) {
        if (error) *error = "image too large";
        return false;
    }
    std::shared_ptr<uint8_t> block = AllocateBlock(total);
    if (!block) {
        if (error) *error = "cannot allocate memory";
        return false;
    }
    bool bytes = HeldAsBytes(component.precision, component.isSigned);
    size_t elementSize = bytes ? 1 : 4;
    for (int i = 0; i < count; ++i) {
        Storage storage;
        storage.info = component;
        storage.block = block;
        storage.first = block.get() + size_t(i) * elementSize;
        storage.sampleStep = size_t(count);
        storage.rowStride = size_t(component.width) * size_t(count);
        storage.bytes = bytes;
        storage.interleaved = count > 1;
        components.push_back(storage);
    }
    return true;
}

int32_t ComponentImage::GetSample(int index, int32_t x, int32_t y) const {
    const Storage& s = components[size_t(index)];
    size_t element = size_t(y) * s.rowStride + size_t(x) * s.sampleStep;
    if (s.bytes) return s.first[element];
    int32_t value;
    std::memcpy(&value, s.first + element * 4, 4);
    return value;
}

void ComponentImage::SetSample(int index, int32_t x, int32_t y, int32_t value) {
    Storage& s = components[size_t(index)];
    size_t element = size_t(y) * s.rowStride + size_t(x) * s.sampleStep;
    if (s.bytes)
        s.first[element] = uint8_t(value);
    else
        std::memcpy(s.first + element * 4, &value, 4);
}

void ComponentImage::ReadRow(int index, int32_t y, int32_t* destination) const {
    const Storage& s = components[size_t(index)];
    int32_t width = s.info.width;
    if (s.bytes) {
        const uint8_t* row = s.first + size_t(y) * s.rowStride;
        for (int32_t x = 0; x < width; ++x) destination[x] = row[size_t(x) * s.sampleStep];
    } else if (s.sampleStep == 1) {
        std::memcpy(destination, s.first + size_t(y) * s.rowStride * 4, size_t(width) * 4);
    } else {
        for (int32_t x = 0; x < width; ++x) destination[x] = GetSample(index, x, y);
    }
}

void ComponentImage::WriteRow(int index, int32_t y, const int32_t* source) {
    Storage& s = components[size_t(index)];
    int32_t width = s.info.width;
    if (s.bytes) {
        uint8_t* row = s.first + size_t(y) * s.rowStride;
        for (int32_t x = 0; x < width; ++x) row[size_t(x) * s.sampleStep] = uint8_t(source[x]);
    } else {
        for (int32_t x = 0; x < width; ++x) SetSample(index, x, y, source[x]);
    }
}

const uint8_t* ComponentImage::Row8(int index, int32_t y, int* step) const {
    const Storage& s = components[size_t(index)];
    if (!s.bytes) return nullptr;
    if (step) *step = int(s.sampleStep);
    return s.first + size_t(y) * s.rowStride;
}

uint8_t* ComponentImage::Row8(int index, int32_t y, int* step) {
    Storage& s = components[size_t(index)];
    if (!s.bytes) return nullptr;
    if (step) *step = int(s.sampleStep);
    return s.first + size_t(y) * s.rowStride;
}

uint8_t* ComponentImage::InterleavedRow(int index, int32_t y, size_t* rowBytes) {
    Storage& s = components[size_t(index)];
    size_t elementSize = s.bytes ? 1 : 4;
    if (rowBytes) *rowBytes = s.rowStride * elementSize;
    return s.first + size_t(y) * s.rowStride * elementSize;
}

int32_t* ComponentImage::Row32(int index, int32_t y) {
    Storage& s = components[size_t(index)];
    if (s.bytes || s.sampleStep != 1) return nullptr;
    return reinterpret_cast<int32_t*>(s.first + size_t(y) * s.rowStride * 4);
}

std::unique_ptr<ComponentImage> ComponentImage::ToSRGB8(std::string* error) const {
    if (components.empty()) {
        if (error) *error = "no components";
        return nullptr;
    }
    // Grey pictures take their one component three times; colour pictures
    // their first three, which must share a size.
    int sources[3] = {0, 0, 0};
    if (components.size() >= 3 && colorSpace != ColorSpace::Gray) {
        sources[1] = 1;
        sources[2] = 2;
    }
    const Component& base = components[0].info;
    for (int c : sources) {
        const Component& other = components[size_t(c)].info;
        if (other.width != base.width || other.height != base.height) {
            if (error) *error = "components of different sizes";
            return nullptr;
        }
    }
    std::unique_ptr<ComponentImage> result(new (std::nothrow) ComponentImage);
    Component rgb = base;
    rgb.precision = 8;
    rgb.isSigned = false;
    if (!result || !result->AddInterleaved(rgb, 3, error)) return nullptr;
    result->SetColorSpace(ColorSpace::SRGB);
    result->SetType(0, ComponentType::Red);
    result->SetType(1, ComponentType::Green);
    result->SetType(2, ComponentType::Blue);

    std::unique_ptr<int32_t[]> row(new (std::nothrow) int32_t[size_t(base.width)]);
    if (!row) {
        if (error) *error = "cannot allocate memory";
        return nullptr;
    }
    for (int out = 0; out < 3; ++out) {
        const Component& source = components[size_t(sources[out])].info;
        // Signed samples are moved into the unsigned range first, then scaled
        // from the precision's full range to 0..255 with rounding.
        int64_t offset = source.isSigned ? (int64_t(1) << (source.precision - 1)) : 0;
        int64_t maximum = (int64_t(1) << source.precision) - 1;
        for (int32_t y = 0; y < base.height; ++y) {
            ReadRow(sources[out], y, row.get());
            int step = 0;
            uint8_t* target = result->Row8(out, y, &step);
            for (int32_t x = 0; x < base.width; ++x) {
                int64_t v = int64_t(row[size_t(x)]) + offset;
                if (v < 0) v = 0;
                if (v > maximum) v = maximum;
                target[size_t(x) * size_t(step)] = uint8_t((v * 255 + maximum / 2) / maximum);
            }
        }
    }
    return result;
}
