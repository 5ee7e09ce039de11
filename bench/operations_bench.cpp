// Times Resample in each mode and Rotate on a 2000 x 2000 true-colour
// picture, single threaded, against ImageMagick's resize and rotate with
// comparable filters when ImageMagick is installed (operations-reference.sh
// installs it). The reference figure is the command's time with the
// operation less its time without it, so reading the picture is not counted.
// Both figures are processor time, the least of three runs.

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "bench/BenchResult.h"
#include "image/RxImage.h"

namespace {

constexpr LONG kSize = 2000;
constexpr int kRounds = 3;

// Processor time of this process, so that other work on the machine does
// not count; the operations run on one thread.
double Now() {
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

void Fill(RxImage& image) {
    image.Create(kSize, kSize, 24);
    for (LONG y = 0; y < kSize; ++y)
        for (LONG x = 0; x < kSize; ++x)
            image.SetPixelColor(x, y, RGB(BYTE(x ^ y), BYTE(x * 3 + y), BYTE((x * y) >> 4)));
}

// The fastest of several rounds of `work` on a fresh copy, in milliseconds.
double Fastest(const RxImage& source, const std::function<bool(RxImage&)>& work) {
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        RxImage image(source);
        const double start = Now();
        if (!work(image)) return -1;
        best = std::min(best, Now() - start);
    }
    return best;
}

std::string Run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
    return output;
}

// The ImageMagick command, or empty when only a stand-in (or nothing) is there.
std::string FindReference() {
    for (const char* candidate : {"/usr/bin/convert-im6.q16", "/usr/bin/convert", "convert"}) {
        const std::string version = Run(std::string(candidate) + " -version 2>/dev/null");
        if (version.find("Version: ImageMagick") != std::string::npos) return candidate;
    }
    return std::string();
}

double ChildCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Processor milliseconds of a single-threaded ImageMagick command line on
// the picture, the least of several runs; -1 when it fails.
double ReferenceMs(const std::string& convert, const std::string& picture, const std::string& operation) {
    const std::string command = convert + " -limit thread 1 " + picture + " " + operation + " null: >/dev/null 2>&1";
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        const double start = ChildCpuMs();
        if (std::system(command.c_str()) != 0) return -1;
        best = std::min(best, ChildCpuMs() - start);
    }
    return best;
}

bool WritePicture(RxImage& image, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", int(image.GetWidth()), int(image.GetHeight()));
    std::vector<BYTE> row(size_t(image.GetWidth()) * 3);
    for (LONG y = image.GetHeight() - 1; y >= 0; --y) {
        for (LONG x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            row[size_t(x) * 3] = c.rgbRed;
            row[size_t(x) * 3 + 1] = c.rgbGreen;
            row[size_t(x) * 3 + 2] = c.rgbBlue;
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

struct Case {
    const char* name;
    std::function<bool(RxImage&)> work;
    const char* reference;  // ImageMagick operation
};

}  // namespace

int main() {
    RxImage source(0);
    Fill(source);
    const std::vector<Case> cases = {
        {"Resample nearest 2000->1000", [](RxImage& i) { return i.Resample(1000, 1000, 1); },
         "-filter point -resize 1000x1000!"},
        {"Resample nearest 2000->3000", [](RxImage& i) { return i.Resample(3000, 3000, 1); },
         "-filter point -resize 3000x3000!"},
        {"Resample bilinear 2000->3000", [](RxImage& i) { return i.Resample(3000, 3000, 3); },
         "-filter triangle -resize 3000x3000!"},
        {"Resample area 2000->1000", [](RxImage& i) { return i.Resample(1000, 1000, 3); },
         "-filter box -resize 1000x1000!"},
        {"Resample B-spline 2000->1000", [](RxImage& i) { return i.Resample(1000, 1000, 2); },
         "-filter spline -resize 1000x1000!"},
        {"Resample B-spline 2000->3000", [](RxImage& i) { return i.Resample(3000, 3000, 2); },
         "-filter spline -resize 3000x3000!"},
        {"Rotate 30 degrees", [](RxImage& i) { return i.Rotate(30); }, "-rotate 30"},
        {"Rotate 30 degrees (ref. nearest)", [](RxImage& i) { return i.Rotate(30); },
         "-filter point -virtual-pixel background +distort SRT 30"},
        {"RotateRight", [](RxImage& i) { return i.RotateRight(); }, "-rotate 90"},
    };

    const std::string convert = FindReference();
    std::string picture;
    double baseline = -1;
    if (!convert.empty()) {
        const char* dir = std::getenv("TMPDIR");
        picture = std::string(dir && *dir ? dir : "/tmp") + "/bench_ops_" + std::to_string(getpid()) + ".ppm";
        const std::string cached = picture.substr(0, picture.size() - 4) + ".mpc";
        if (WritePicture(source, picture) && Run(convert + " " + picture + " " + cached + " 2>&1").empty()) {
            baseline = ReferenceMs(convert, cached, "");
            std::remove(picture.c_str());
            picture = cached;
        }
    }
    for (const Case& c : cases) {
        const double ours = Fastest(source, c.work);
        double reference = -1;
        if (baseline >= 0) {
            const double total = ReferenceMs(convert, picture, c.reference);
            if (total >= 0) reference = std::max(0.0, total - baseline);
        }
        bench::Result("operations 2000 x 2000", c.name, ours, "ms cpu", "ImageMagick", reference);
    }
    if (convert.empty())
        std::printf("ImageMagick is not installed: bench/operations-reference.sh installs it and runs this.\n");
    if (!picture.empty()) {
        std::remove(picture.c_str());
        std::remove((picture.substr(0, picture.size() - 4) + ".cache").c_str());
    }
    return 0;
}
