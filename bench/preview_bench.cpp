// The preview's speed: from opening a document to the painted pane for page
// 1 of a heavy vector page and of a text page, against the PDF library's own
// command-line renderer at the same resolution, and a cached page step.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/BenchResult.h"
#include "platform/CDialog.h"
#include "platform/Shell.h"
#include "preview/CDrawImageStatic.h"
#include "preview/PageRasterizer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string SinglePagePdf(const std::string& content) {
    std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 5 0 R >> >> "
        "/Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    std::string out = "%PDF-1.4\n";
    size_t offsets[5];
    for (int i = 0; i < 5; ++i) {
        offsets[i] = out.size();
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 6\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    out += "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

// A dense plan: thousands of strokes and filled shapes.
std::string VectorContent() {
    std::string ops = "0.5 w\n";
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245 + 12345) >> 16 & 0x7FFF; };
    for (int i = 0; i < 40000; ++i) {
        const int x = 20 + int(next() % 570), y = 20 + int(next() % 750);
        ops += std::to_string(x) + " " + std::to_string(y) + " m " + std::to_string(x + int(next() % 40)) + " " +
               std::to_string(y + int(next() % 40)) + " l S\n";
    }
    for (int i = 0; i < 2000; ++i)
        ops += "0." + std::to_string(next() % 10) + " g " + std::to_string(20 + next() % 560) + " " +
               std::to_string(20 + next() % 740) + " 12 9 re f\n";
    return ops;
}

std::string TextContent() {
    std::string ops = "BT /F1 7 Tf 9 TL 30 770 Td\n";
    for (int line = 0; line < 84; ++line)
        ops += "(Line " + std::to_string(line) +
               ": the quick brown fox jumps over the lazy dog, 0123456789 and more words to fill) '\n";
    return ops + "ET\n";
}

struct Pane {
    DialogTemplate layout{9997, "Bench", WS_POPUP | WS_CAPTION, 0, 0, 0, 200, 260, "MS Sans Serif", 8, {}};
    CDialog dialog;
    CDrawImageStatic pane;
    Pane() {
        dialog.CreateIndirect(&layout, nullptr);
        // The converter's pane: 139 x 210 dialog units.
        pane.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(0, 0, 209, 341), &dialog, 1030);
    }
    ~Pane() { dialog.DestroyWindow(); }
};

double Median(double a, double b, double c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

void BenchPage(const char* name, const std::string& pdf, const std::string& folder) {
    Pane pane;
    const CRect draw = pane.pane.GetDrawRect();
    const int dpi = PageRasterizer::FitResolution(0, 0, 612, 792, 0, draw);
    const std::string image = folder + "/ATemp1.ppm";

    double ours[3], reference[3];
    for (double& t : ours) {
        PageRasterizer rasterizer;
        int pageCount = 0;
        const auto start = Clock::now();
        rasterizer.OpenAndRender(pdf, 1, draw, image, pageCount);
        pane.pane.LoadPageImage(image);
        pane.pane.UpdateWindow();
        t = Seconds(start);
    }
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -cropbox -f 1 -l 1 '" + pdf + "' '" +
                                folder + "/reference' >/dev/null 2>&1";
    for (double& t : reference) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "pdftoppm failed\n");
        t = Seconds(start);
    }
    const double mine = Median(ours[0], ours[1], ours[2]);
    const double theirs = Median(reference[0], reference[1], reference[2]);
    bench::Result("preview", std::string(name) + ", page 1 at " + std::to_string(dpi) + " dpi", mine * 1e3, "ms",
                  "pdftoppm", theirs * 1e3);

    // A page already rendered is loaded again from its file.
    const int steps = 20;
    const auto start = Clock::now();
    for (int i = 0; i < steps; ++i) {
        pane.pane.LoadPageImage(image);
        pane.pane.UpdateWindow();
    }
    bench::Result("preview", std::string(name) + ", cached page step", Seconds(start) / steps * 1e3, "ms",
                  "first rendering", mine * 1e3);
}

}  // namespace

int main() {
    char pattern[] = "/tmp/pdfimport-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return 1;
    const std::string folder = made;
    const std::string vector = folder + "/vector.pdf";
    const std::string text = folder + "/text.pdf";
    std::ofstream(vector, std::ios::binary) << SinglePagePdf(VectorContent());
    std::ofstream(text, std::ios::binary) << SinglePagePdf(TextContent());
    BenchPage("heavy vector page", vector, folder);
    BenchPage("text page", text, folder);
    std::system(("rm -rf '" + folder + "'").c_str());
    return 0;
}
