#pragma once

#include <cstddef>

#include "image/RxImage.h"

class RxFile;

// The codec classes the format dispatch knows, in the order the content
// search tries them. Each entry creates its codec object and runs its decode
// and encode; a new codec needs one line in the table (RxImageCodecTable.cpp).
class RxImageCodecTable {
public:
    struct Entry {
        DWORD type;
        // Decoders that read one frame of a multi-frame file take the image's
        // frame first and report the frames they found.
        bool takesFrame;
        RxImage* (*create)(DWORD type);
        bool (*decode)(RxImage* codec, RxFile* file);
        bool (*encode)(RxImage* codec, RxFile* file);
        // Null for formats without multi-page files.
        bool (*encodePages)(RxImage* codec, RxFile* file, RxImage** images, int count);
    };

    static const Entry* Find(DWORD type);
    static size_t Count();
    static const Entry& At(size_t index);

    template <class Codec>
    static Entry Of(DWORD type, bool takesFrame = false) {
        return Entry{type, takesFrame, &Create<Codec>, &DecodeWith<Codec>, &EncodeWith<Codec>,
                     nullptr};
    }
    template <class Codec>
    static Entry WithPages(DWORD type, bool takesFrame = false) {
        Entry entry = Of<Codec>(type, takesFrame);
        entry.encodePages = &EncodePagesWith<Codec>;
        return entry;
    }

private:
    template <class Codec>
    static RxImage* Create(DWORD type) {
        return new (std::nothrow) Codec(type);
    }
    template <class Codec>
    static bool DecodeWith(RxImage* codec, RxFile* file) {
        return static_cast<Codec*>(codec)->Decode(file);
    }
    template <class Codec>
    static bool EncodeWith(RxImage* codec, RxFile* file) {
        return static_cast<Codec*>(codec)->Encode(file);
    }
    template <class Codec>
    static bool EncodePagesWith(RxImage* codec, RxFile* file, RxImage** images, int count) {
        return static_cast<Codec*>(codec)->Encode(file, images, count);
    }
};
