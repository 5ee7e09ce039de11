// Damaged, encrypted and oversized PDF files through the converter window's
// load: open, count, render page 1 into the page image, read it back as the
// preview pane does. A file that can't be shown leaves nothing open; none
// may crash, hang, leak or take more than a small amount of memory.
#include <gtest/gtest.h>

#include <Error.h>

#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>

#include "ChildRun.h"
#include "image/RxImage.h"
#include "preview/PageRasterizer.h"
#include "tests/preview/PdfFixture.h"

namespace {

constexpr uint64_t MiB = uint64_t(1) << 20;
constexpr uint64_t kMemoryBound = 96 * MiB;
constexpr uint64_t kAddressBound = 1024 * MiB;
constexpr unsigned kSeconds = 60;

// A page whose content is `content`, with the resources given.
std::string OnePage(const std::string& pageExtra, const std::string& content, const std::string& moreObjects = "") {
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R " + pageExtra + " >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
    };
    if (!moreObjects.empty()) objects.push_back(moreObjects);
    return AssemblePdf(objects);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// Standard security with a user password: the empty password does not open it.
std::string Encrypted() {
    const std::string key32(64, 'A');
    return Replaced(MakePdf({{}}), "/Root 1 0 R",
                    "/Root 1 0 R /Encrypt << /Filter /Standard /V 1 /R 2 /O <" + key32 + "> /U <" + key32 +
                        "> /P -4 >> /ID [<0123456789ABCDEF0123456789ABCDEF><0123456789ABCDEF0123456789ABCDEF>]");
}

struct PdfCase {
    const char* name;
    std::function<std::string()> build;
    bool shows;  // page 1 is rendered and shown
};

std::ostream& operator<<(std::ostream& out, const PdfCase& c) { return out << c.name; }

const PdfCase kCases[] = {
    {"valid", [] { return MakePdf({{}, {}}); }, true},
    {"empty", [] { return std::string(); }, false},
    {"garbage", [] { return std::string("this is a text file that claims nothing\n"); }, false},
    {"header_only", [] { return std::string("%PDF-1.7\n"); }, false},
    {"cut_to_a_third", [] { const std::string pdf = MakePdf({{}}); return pdf.substr(0, pdf.size() / 3); }, false},
    {"encrypted", Encrypted, false},
    {"no_pages", [] { return MakePdf({}); }, false},
    // A page tree whose kid is the tree itself: the library finds the page
    // object by scanning the file.
    {"page_tree_loop", [] { return Replaced(MakePdf({{}}), "/Kids [4 0 R ]", "/Kids [2 0 R ]"); }, true},
    // The xref table points nowhere; the library rebuilds it from the objects.
    {"broken_xref", [] { return Replaced(MakePdf({{}}), "startxref\n", "startxref\n9"); }, true},
    {"count_two_billion", [] { return Replaced(MakePdf({{}}), "/Count 1", "/Count 2000000000"); }, false},
    {"huge_media_box", [] { return MakePdf({{1e9, 1e9}}); }, true},
    {"inverted_media_box", [] { return MakePdf({{-612, -792}}); }, true},
    // An image claiming 100000 x 100000 pixels with four bytes of data.
    {"huge_image",
     [] {
         return OnePage("/Resources << /XObject << /Im1 5 0 R >> >>", "q 500 0 0 500 50 50 cm /Im1 Do Q",
                        "<< /Type /XObject /Subtype /Image /Width 100000 /Height 100000 /ColorSpace /DeviceRGB "
                        "/BitsPerComponent 8 /Length 4 >>\nstream\nabcd\nendstream");
     },
     true},
    // Paths and text with absurd numbers.
    {"absurd_operands",
     [] {
         return OnePage("", "1e38 0 0 1e38 0 0 cm 0 0 m 1e30 1e30 l -1e30 5 l h f 99999 w 0 0 1e20 1e20 re S "
                            "BT /F9 1e30 Tf (x) Tj ET");
     },
     true},
};

// What the window does with the file; the text says how it went.
std::string LoadLikeTheWindow(const std::string& pdf) {
    char folder[] = "/tmp/hostile-pdf-XXXXXX";
    if (!mkdtemp(folder)) return "no temporary folder";
    const std::string path = std::string(folder) + "/in.pdf";
    const std::string image = PageRasterizer::PageImagePath(std::string(folder) + "/", 1);
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(pdf.data(), 1, pdf.size(), file);
        std::fclose(file);
    }
    std::string report;
    {
        PageRasterizer rasterizer;
        int pageCount = -7;
        const bool rendered = rasterizer.OpenAndRender(path, 1, RECT{0, 0, 285, 385}, image, pageCount);
        if (!rendered) {
            report = rasterizer.IsOpen() ? "refused but left open" : "refused";
        } else {
            RxImage page(0);
            report = !page.Load(image.c_str(), 0) ? std::string("rendered, unreadable: ") + page.GetLastError()
                     : page.GetWidth() < 1 || page.GetWidth() > 400 || page.GetHeight() > 500
                         ? "rendered at a wrong size"
                         : "shown";
        }
    }
    std::remove(image.c_str());
    std::remove(path.c_str());
    rmdir(folder);
    return report;
}

void Quiet(ErrorCategory, Goffset, const char*) {}

class HostilePdfTest : public testing::TestWithParam<PdfCase> {
protected:
    // The library's complaints about the files are expected here.
    static void SetUpTestSuite() { setErrorCallback(&Quiet); }
};

TEST_P(HostilePdfTest, LoadsOrIsRefusedInsideTheMemoryBound) {
    const PdfCase& c = GetParam();
    const std::string pdf = c.build();
    const ChildResult run = RunInChild([&] { return LoadLikeTheWindow(pdf); }, kAddressBound, kSeconds);
    ASSERT_TRUE(run.finished) << "ended by " << run.how;
    EXPECT_LE(run.peakBytes, kMemoryBound) << "took " << run.peakBytes / MiB << " MiB";
    EXPECT_FALSE(run.leaked);
    EXPECT_EQ(run.text, c.shows ? "shown" : "refused");
}

INSTANTIATE_TEST_SUITE_P(Files, HostilePdfTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PdfCase>& info) { return info.param.name; });

}  // namespace
