#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A picture as a set of components (grey; red, green, blue; or unrelated
// planes), each with its own size, precision and signedness. Components of up
// to 8 unsigned bits are held as bytes, others as 32-bit integers; components
// made together by AddInterleaved share one buffer with their samples side by
// side, so a reader can fill pixel rows in one go.
class ComponentImage {
public:
    enum class ColorSpace { Unknown, Gray, SRGB };
    enum class ComponentType { Unknown, Gray, Red, Green, Blue };

    struct Component {
        int32_t width = 0;
        int32_t height = 0;
        int precision = 0;  // bits per sample, 1 to 31
        bool isSigned = false;
        ComponentType type = ComponentType::Unknown;
    };

    ComponentImage() = default;
    ~ComponentImage();
    ComponentImage(const ComponentImage&) = delete;
    ComponentImage& operator=(const ComponentImage&) = delete;

    // Bytes the samples of a component would take, or 0 when that cannot be
    // counted in 64 bits.
    static uint64_t SampleBytes(uint64_t width, uint64_t height, int precision, bool isSigned);

    // Adds one component with its own buffer; false (and an error text) when
    // the parameters are invalid or the buffer cannot be allocated.
    bool AddComponent(const Component& component, std::string* error);
    // Adds count components of equal size and precision that share one
    // interleaved buffer.
    bool AddInterleaved(const Component& component, int count, std::string* error);

    int NumComponents() const { return int(components.size()); }
    const Component& Get(int index) const { return components[size_t(index)].info; }
    void SetType(int index, ComponentType type) { components[size_t(index)].info.type = type; }
    ColorSpace GetColorSpace() const { return colorSpace; }
    void SetColorSpace(ColorSpace space) { colorSpace = space; }

    int32_t GetSample(int index, int32_t x, int32_t y) const;
    void SetSample(int index, int32_t x, int32_t y, int32_t value);
    // Copies row y of a component into destination (width samples).
    void ReadRow(int index, int32_t y, int32_t* destination) const;
    void WriteRow(int index, int32_t y, const int32_t* source);
    // Direct access to a byte-held component's row: samples lie `step` bytes
    // apart. None for components held as 32-bit integers.
    const uint8_t* Row8(int index, int32_t y, int* step) const;
    uint8_t* Row8(int index, int32_t y, int* step);
    // Row y of the interleaved buffer starting at component index, for
    // bulk reading. None when that component is not interleaved.
    uint8_t* InterleavedRow(int index, int32_t y, size_t* rowBytes);
    int32_t* Row32(int index, int32_t y);

    // An sRGB copy with three unsigned 8-bit components (grey pictures give
    // three equal ones); samples are scaled from each component's range.
    std::unique_ptr<ComponentImage> ToSRGB8(std::string* error) const;

private:
    struct Storage {
        Component info;
        std::shared_ptr<uint8_t> block;  // shared by interleaved components
        uint8_t* first = nullptr;        // sample (0, 0)
        size_t sampleStep = 0;           // elements between neighbouring samples
        size_t rowStride = 0;            // elements between rows
        bool bytes = false;              // uint8 elements, else int32
        bool interleaved = false;
    };

    static bool Validate(const Component& component, std::string* error);

    std::vector<Storage> components;
    ColorSpace colorSpace = ColorSpace::Unknown;
};
