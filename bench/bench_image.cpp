// Times the preview's two image steps against the plain work they rest on:
// loading a rendered page (a 1700 x 2200 binary PPM) by content, against
// reading the file and parsing it by hand; drawing it scaled into 600 x 800,
// against copying the output bytes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchResult.h"
#include "image/RxImage.h"
#include "platform/CDC.h"
#include "platform/Surface.h"

namespace {

constexpr int kWidth = 1700, kHeight = 2200;
constexpr int kDrawWidth = 600, kDrawHeight = 800;
constexpr int kRounds = 15;

double Now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The fastest of several rounds, in milliseconds.
template <class Work>
double Fastest(Work work) {
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        double start = Now();
        work();
        best = std::min(best, Now() - start);
    }
    return best;
}

std::string WritePage() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/bench_page_" + std::to_string(getpid()) + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
    std::vector<unsigned char> row(size_t(kWidth) * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            row[size_t(x) * 3] = (unsigned char)(x ^ y);
            row[size_t(x) * 3 + 1] = (unsigned char)(x + y);
            row[size_t(x) * 3 + 2] = (unsigned char)(255 - x);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
    return path;
}

std::vector<unsigned char> ReadWhole(const std::string& path) {
    std::vector<unsigned char> data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    data.resize(size_t(size));
    size_t got = std::fread(data.data(), 1, data.size(), f);
    data.resize(got);
    std::fclose(f);
    return data;
}

// The least a decoder must do: find the pixels after the header and turn
// the top-down RGB rows into bottom-up BGR rows.
void ParseByHand(const std::vector<unsigned char>& data, std::vector<unsigned char>* pixels) {
    size_t at = 0;
    for (int fields = 0; fields < 4 && at < data.size(); ++fields) {
        while (at < data.size() && !std::isspace(data[at])) ++at;
        ++at;
    }
    size_t rowBytes = (size_t(kWidth) * 3 + 3) / 4 * 4;
    pixels->resize(rowBytes * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const unsigned char* s = data.data() + at + size_t(y) * kWidth * 3;
        unsigned char* d = pixels->data() + size_t(kHeight - 1 - y) * rowBytes;
        for (int x = 0; x < kWidth; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
}

}  // namespace

int main() {
    std::string path = WritePage();
    if (path.empty()) {
        std::fprintf(stderr, "cannot write the page file\n");
        return 1;
    }
    std::vector<unsigned char> pixels;
    double readParse = Fastest([&] { ParseByHand(ReadWhole(path), &pixels); });
    RxImage page(0);
    double load = Fastest([&] {
        if (!page.Load(path.c_str(), 0)) std::fprintf(stderr, "load failed: %s\n", page.GetLastError());
    });
    std::remove(path.c_str());

    Surface surface(kDrawWidth, kDrawHeight);
    CDC dc(&surface);
    double draw = Fastest([&] { page.Draw(&dc, 0, 0, kDrawWidth, kDrawHeight); });
    std::vector<uint32_t> copy(size_t(kDrawWidth) * kDrawHeight);
    double memcopy = Fastest([&] {
        std::memcpy(copy.data(), surface.Pixels(), copy.size() * sizeof(uint32_t));
        asm volatile("" : : "r"(copy.data()) : "memory");
    });

    const std::string size = std::to_string(kWidth) + " x " + std::to_string(kHeight);
    bench::Result("page image", "Load by content, " + size + " PPM", load, "ms", "plain read + parse", readParse);
    const std::string target = std::to_string(kDrawWidth) + " x " + std::to_string(kDrawHeight);
    bench::Result("page image", "Draw scaled into " + target, draw, "ms", "memcpy of the output", memcopy);
    return 0;
}
