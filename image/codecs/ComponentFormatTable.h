#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ComponentImage;
class ComponentStream;

// The formats the component layer reads and writes, looked up by name or
// recognised by their first bytes.
class ComponentFormatTable {
public:
    struct Format {
        const char* name;
        const char* description;
        // True when the first bytes (count of them given) belong to this format.
        bool (*matches)(const uint8_t* head, size_t count);
        // None with an error text when the data is malformed; decoders bound
        // their allocations by the byte limit given.
        std::unique_ptr<ComponentImage> (*decode)(ComponentStream& stream, uint64_t byteLimit,
                                                  std::string* error);
        // Null for formats that are read only.
        bool (*encode)(const ComponentImage& image, ComponentStream& stream, const char* options,
                       std::string* error);
    };

    // The process-wide table, built on first use.
    static const ComponentFormatTable& Instance();

    size_t Count() const { return count; }
    const Format& At(size_t index) const { return formats[index]; }
    const Format* Find(const char* name) const;
    // Decodes with the first format that recognises the stream's first bytes.
    std::unique_ptr<ComponentImage> Decode(ComponentStream& stream, uint64_t byteLimit,
                                           std::string* error) const;
    // Encodes in the named format; false with a text for an unknown name.
    bool Encode(const ComponentImage& image, ComponentStream& stream, const char* name,
                const char* options, std::string* error) const;

private:
    ComponentFormatTable();

    const Format* formats;
    size_t count;
};
