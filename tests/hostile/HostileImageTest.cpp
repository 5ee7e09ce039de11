// Hostile image files for every decoder: each must end with its own error
// text, inside a small memory bound, without a leak, a crash or a hang. The
// pictures they claim would need gigabytes; decoders must refuse them from
// the header, before they allocate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <unistd.h>
#include <string>

#include "ChildRun.h"
#include "HostileFiles.h"
#include "image/RxImage.h"

namespace {

constexpr uint64_t MiB = uint64_t(1) << 20;
// Far below any picture the hostile headers claim, far above what the small
// files need.
constexpr uint64_t kMemoryBound = 48 * MiB;
constexpr uint64_t kAddressBound = 512 * MiB;
constexpr unsigned kSeconds = 30;

// What a decode of a case must give: success (kDecodes) or this error text.
const char* const kDecodes = nullptr;

struct HostileCase {
    const char* name;
    DWORD format;
    std::function<Bytes()> build;
    const char* error;
    uint64_t decodeLimit = 0;  // 0: the default limit
};

std::ostream& operator<<(std::ostream& out, const HostileCase& c) { return out << c.name; }

std::string DecodeReport(const Bytes& bytes, DWORD format, uint64_t decodeLimit) {
    RxImage::SetDecodeLimit(decodeLimit ? decodeLimit : RxImage::kDefaultDecodeLimit);
    Bytes copy = bytes;
    RxImage image(0);
    const bool decoded = image.Decode(copy.empty() ? nullptr : copy.data(), DWORD(copy.size()), format);
    return decoded ? std::string("decoded") : std::string("failed: ") + image.GetLastError();
}

const char kPnmTooLarge[] = "error: cannot load image data: PNM: image too large";

// A TIFF byte-order mark and version, then nothing that makes sense.
const char kTiffGarbage[] = "II*\0garbage where the directory should be";

// Flips one byte of the built file.
std::function<Bytes()> Patched(std::function<Bytes()> build, size_t at, uint8_t value) {
    return [build, at, value] {
        Bytes bytes = build();
        bytes.at(at) = value;
        return bytes;
    };
}

const HostileCase kCases[] = {
    {"bmp_valid", 1, [] { return MakeBmp(4, 4, 24); }, kDecodes},
    {"bmp_empty", 1, [] { return Bytes(); }, "Not a BMP"},
    {"bmp_cut_in_file_header", 1, [] { return Truncated(MakeBmp(4, 4, 24), 10); }, "Not a BMP"},
    {"bmp_garbage", 1, [] { return Text("this is some text and not a picture at all"); }, "Error reading BMP info"},
    // Plain rows too short for the picture are refused before anything is
    // allocated; run-length data can't tell, so the limit decides.
    {"bmp_65535_square", 1, [] { return MakeBmp(65535, 65535, 24, false); }, "Unexpected end of BMP data"},
    {"bmp_65535_square_run_length", 1, [] { return MakeRunLengthBmp(65535, 65535); }, "Can't allocate memory"},
    {"bmp_over_lowered_limit", 1, [] { return MakeRunLengthBmp(3000, 3000); }, "Can't allocate memory", 8 * MiB},
    {"bmp_without_pixels", 1, [] { return MakeBmp(64, 64, 24, false); }, "Unexpected end of BMP data"},

    {"gif_valid", 2, [] { return MakeGif(1, 1, 1, 1); }, kDecodes},
    {"gif_empty", 2, [] { return Bytes(); }, ""},
    {"gif_wrong_magic", 2, [] { return Text("GIF7xa and then nothing useful"); }, ""},
    {"gif_65535_screen", 2, [] { return MakeGif(65535, 65535, 1, 1); }, kDecodes},
    {"gif_65535_frame", 2, [] { return MakeGif(65535, 65535, 65535, 65535); }, "Can't allocate memory"},
    {"gif_cut_in_frame", 2, [] { return Truncated(MakeGif(4, 4, 4, 4), 28); }, "GIF frame out of range"},

    {"tga_valid", 6, [] { return MakeTga(4, 4, 24); }, kDecodes},
    {"tga_empty", 6, [] { return Bytes(); }, "Not a TGA"},
    {"tga_unknown_type", 6, Patched([] { return MakeTga(4, 4, 24); }, 2, 7), "Unknown TGA image type"},
    {"tga_depth_12", 6, [] { return MakeTga(4, 4, 12); }, "bad TGA header"},
    {"tga_65535_square", 6, [] { return MakeTga(65535, 65535, 32, false); }, "corrupted TGA"},
    {"tga_over_lowered_limit", 6, [] { return MakeRunLengthTga(3000, 3000); }, "TGA Create failed", 8 * MiB},
    {"tga_without_pixels", 6, [] { return MakeTga(16, 16, 24, false); }, "corrupted TGA"},

    {"pcx_valid", 7, [] { return MakePcx(4, 4, 3); }, kDecodes},
    {"pcx_empty", 7, [] { return Bytes(); }, "Can't read PCX image"},
    {"pcx_wrong_maker", 7, Patched([] { return MakePcx(4, 4, 3); }, 0, 11), "Error: Not a PCX file"},
    {"pcx_65535_square", 7, [] { return MakePcx(65535, 65535, 3, false); }, "corrupted PCX"},
    {"pcx_over_lowered_limit", 7, [] { return MakePcx(3000, 3000, 3); }, "Can't allocate memory", 8 * MiB},
    {"pcx_without_pixels", 7, [] { return MakePcx(16, 16, 3, false); }, "corrupted PCX"},

    {"wbmp_valid", 8, [] { return MakeWbmp(8, 8); }, kDecodes},
    {"wbmp_empty", 8, [] { return Bytes(); }, "Not a WBMP"},
    {"wbmp_type_1", 8, Patched([] { return MakeWbmp(8, 8); }, 0, 1), "Unsupported WBMP type"},
    {"wbmp_zero_width", 8, [] { return MakeWbmp(0, 8); }, "Corrupted WBMP"},
    {"wbmp_without_pixels", 8, [] { return MakeWbmp(200, 200, false); }, "Not a WBMP"},

    {"pnm_valid", 9, [] { return MakePpm(4, 4); }, kDecodes},
    {"pnm_empty", 9, [] { return Bytes(); }, "error: cannot load image data"},
    {"pnm_100000_square", 9, [] { return MakePpm(100000, 100000, false); }, kPnmTooLarge},
    {"pnm_over_lowered_limit", 9, [] { return MakePpm(2000, 2000, false); }, kPnmTooLarge, 8 * MiB},
    {"pnm_without_pixels", 9, [] { return MakePpm(64, 64, false); },
     "error: cannot load image data: PNM: truncated pixel data"},
    {"pnm_garbage", 9, [] { return Text("P6 garbage follows \xff\xfe"); },
     "error: cannot load image data: PNM: malformed header"},

    {"j2k_valid", 9, [] { return MakeJ2k(5, 4); }, kDecodes},
    {"j2k_100000_square", 9, [] { return MakeJ2k(100000, 100000); },
     "error: cannot load image data: JPEG 2000: image too large"},
    {"j2k_cut", 9, [] { return Truncated(MakeJ2k(5, 4), 60); },
     "error: cannot load image data: JPEG 2000: Stream too short"},

    {"jpeg_valid", 3, [] { return EncodeSmallPicture(3); }, kDecodes},
    {"jpeg_empty", 3, [] { return Bytes(); }, "Empty input file"},
    {"jpeg_wrong_magic", 3, [] { return Text("not a JPEG file at all, only text"); },
     "Not a JPEG file: starts with 0x6e 0x6f"},
    {"jpeg_65500_square", 3, [] { return WithJpegSize(EncodeSmallPicture(3), 65500, 65500); }, "Can't allocate memory"},
    {"jpeg_over_lowered_limit", 3, [] { return WithJpegSize(EncodeSmallPicture(3), 3000, 3000); },
     "Can't allocate memory", 8 * MiB},
    {"jpeg_cut_in_header", 3, [] { return Truncated(EncodeSmallPicture(3), 100); },
     "JPEG datastream contains no image"},
    // A scan that ends early is completed with an end marker, as the library does.
    {"jpeg_cut_in_scan", 3,
     [] {
         const Bytes jpeg = EncodeSmallPicture(3);
         return Truncated(jpeg, jpeg.size() - 8);
     },
     kDecodes},

    {"png_valid", 4, [] { return EncodeSmallPicture(4); }, kDecodes},
    {"png_empty", 4, [] { return Bytes(); }, "Read Error"},
    {"png_wrong_signature", 4, [] { return Text("\x89PNX\r\n\x1a\n and some more bytes"); }, "Not a PNG file"},
    {"png_65535_square", 4, [] { return WithPngSize(EncodeSmallPicture(4), 65535, 65535); },
     "Can't allocate memory"},
    {"png_over_lowered_limit", 4, [] { return WithPngSize(EncodeSmallPicture(4), 3000, 3000); },
     "Can't allocate memory", 8 * MiB},
    {"png_cut_in_data", 4, [] { return Truncated(EncodeSmallPicture(4), 60); }, "Read Error"},

    {"tiff_valid", 5, [] { return MakeTiff(4, 4); }, kDecodes},
    {"tiff_empty", 5, [] { return Bytes(); }, "Error encountered while opening TIFF file"},
    {"tiff_garbage", 5, [] { return Text(std::string(kTiffGarbage, sizeof kTiffGarbage - 1)); },
     "Error encountered while opening TIFF file"},
    {"tiff_65535_square", 5, [] { return MakeTiff(65535, 65535, false); }, "Can't allocate memory"},
    {"tiff_over_lowered_limit", 5, [] { return MakeTiff(3000, 3000, false); }, "Can't allocate memory", 8 * MiB},
    {"tiff_rgb_valid", 5, [] { return MakeTiff(4, 4, true, true); }, kDecodes},
    {"tiff_rgb_65535_square", 5, [] { return MakeTiff(65535, 65535, false, true); }, "Can't allocate memory"},
    {"tiff_rgb_over_lowered_limit", 5, [] { return MakeTiff(3000, 3000, false, true); }, "Can't allocate memory",
     8 * MiB},
    {"tiff_without_pixels", 5, [] { return MakeTiff(64, 64, false); }, "Corrupted TIFF file!"},
};

class HostileImageTest : public testing::TestWithParam<HostileCase> {};

void ExpectContained(const ChildResult& run, const std::string& what) {
    ASSERT_TRUE(run.finished) << what << " ended by " << run.how;
    EXPECT_LE(run.peakBytes, kMemoryBound) << what << " took " << run.peakBytes / MiB << " MiB";
    EXPECT_FALSE(run.leaked) << what << " leaked";
}

TEST_P(HostileImageTest, FailsWithItsTextInsideTheMemoryBound) {
    const HostileCase& c = GetParam();
    const Bytes bytes = c.build();
    const ChildResult run = RunInChild([&] { return DecodeReport(bytes, c.format, c.decodeLimit); }, kAddressBound,
                                       kSeconds);
    ExpectContained(run, "decoding as its format");
    EXPECT_EQ(run.text, c.error ? "failed: " + std::string(c.error) : "decoded");
}

// The bound is real: in sanitizer builds a big allocation shows in the peak,
// in the others the address space refuses it.
TEST(ChildRunTest, NoticesWhatExceedsTheBound) {
    const ChildResult run = RunInChild(
        [] {
            const size_t size = SanitizerBuild() ? size_t(kMemoryBound * 2) : size_t(kAddressBound * 2);
            void* volatile block = std::malloc(size);
            std::free(block);
            return std::string(block ? "allocated" : "refused");
        },
        kAddressBound, kSeconds);
    ASSERT_TRUE(run.finished) << run.how;
    if (SanitizerBuild())
        EXPECT_GT(run.peakBytes, kMemoryBound);
    else
        EXPECT_EQ(run.text, "refused");
}

TEST(ChildRunTest, ReportsCrashesAndHangs) {
    EXPECT_EQ(RunInChild([]() -> std::string { std::abort(); }, kAddressBound, kSeconds).how, "signal Aborted");
    EXPECT_EQ(RunInChild([]() -> std::string { for (;;) pause(); }, kAddressBound, 1).how, "signal Alarm clock");
}

TEST_P(HostileImageTest, ContentSearchFailsOrDecodesTheSame) {
    const HostileCase& c = GetParam();
    const Bytes bytes = c.build();
    const ChildResult run =
        RunInChild([&] { return DecodeReport(bytes, 0, c.decodeLimit); }, kAddressBound, kSeconds);
    ExpectContained(run, "the content search");
    EXPECT_EQ(run.text, c.error ? "failed: Decode: Unknown or wrong format" : "decoded");
}

INSTANTIATE_TEST_SUITE_P(Files, HostileImageTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

}  // namespace
