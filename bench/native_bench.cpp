// Decode and encode speed of the native codecs (BMP, GIF, TGA, PCX) against
// independent references on the same files: giflib for GIF decoding, Pillow
// (Debian's python3-pil, run as a child process) for everything else. Prints
// a decode and an encode figure per file, the best of several runs.

#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchResult.h"
#include "image/RxImage.h"
#include "image/RxMemFile.h"

namespace {

constexpr int kRuns = 5;
constexpr LONG kWidth = 1600, kHeight = 1200;

double BestSeconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// A scanned-drawing-like picture: flat paper, lines, a shaded area and noise.
void MakePicture(RxImage& image) {
    image.Create(kWidth, kHeight, 24, 0);
    unsigned seed = 1;
    for (LONG y = 0; y < kHeight; ++y) {
        BYTE* row = image.GetBits() + size_t(y) * image.GetEffWidth();
        for (LONG x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            BYTE v = 250;
            if (x % 97 < 2 || y % 61 < 2) v = 30;
            if (x > 400 && x < 900 && y > 300 && y < 700) v = BYTE((x + y) / 8);
            if ((seed >> 16) % 50 == 0) v = BYTE(seed >> 24);
            row[3 * x] = v;
            row[3 * x + 1] = BYTE(v - (x & 7));
            row[3 * x + 2] = BYTE(v - (y & 3));
        }
    }
}

std::vector<BYTE> ReadFile(const std::string& name) {
    std::vector<BYTE> data;
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        BYTE buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.insert(data.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return data;
}

struct GifSource {
    const std::vector<BYTE>* data;
    size_t position;
};

int ReadGif(GifFileType* gif, GifByteType* buffer, int length) {
    GifSource* source = static_cast<GifSource*>(gif->UserData);
    size_t n = std::min(size_t(length), source->data->size() - source->position);
    std::memcpy(buffer, source->data->data() + source->position, n);
    source->position += n;
    return int(n);
}

double GiflibDecode(const std::vector<BYTE>& data) {
    return BestSeconds([&] {
        GifSource source{&data, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&source, ReadGif, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) std::fprintf(stderr, "giflib failed\n");
        if (gif) DGifCloseFile(gif, &error);
    });
}

// Runs Pillow over the files: best decode (open + load) and encode (save
// into memory) time of each, one "name decode encode" line per file.
std::map<std::string, std::pair<double, double>> PillowTimes(const std::string& directory,
                                                             const std::vector<std::string>& names) {
    std::ostringstream script;
    script << "import io, sys, time\nfrom PIL import Image\n"
           << "def best(f):\n    t = 9e9\n    for _ in range(" << kRuns << "):\n"
           << "        s = time.perf_counter(); f(); t = min(t, time.perf_counter() - s)\n    return t\n"
           << "for name in sys.argv[1:]:\n"
           << "    path = '" << directory << "/' + name\n"
           << "    def load():\n        with Image.open(path) as im: im.load()\n"
           << "    im = Image.open(path); im.load()\n"
           << "    fmt = im.format\n"
           << "    opts = {'rle': True} if 'rle' in name else {}\n"
           << "    def save():\n        im.save(io.BytesIO(), format=fmt, **opts)\n"
           << "    print(name, best(load), best(save))\n";
    std::string scriptName = directory + "/pillow_times.py";
    if (FILE* f = std::fopen(scriptName.c_str(), "w")) {
        std::fputs(script.str().c_str(), f);
        std::fclose(f);
    }
    std::string command = "/usr/bin/python3 " + scriptName;
    for (const std::string& name : names) command += " " + name;
    std::map<std::string, std::pair<double, double>> times;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char name[256];
        double decode, encode;
        while (std::fscanf(pipe, "%255s %lf %lf", name, &decode, &encode) == 3) times[name] = {decode, encode};
        pclose(pipe);
    }
    return times;
}

}  // namespace

int main() {
    char directoryTemplate[] = "/tmp/native-bench-XXXXXX";
    const char* made = mkdtemp(directoryTemplate);
    if (!made) return 1;
    const std::string directory = made;

    RxImage picture;
    MakePicture(picture);
    RxImage palette(picture);
    palette.DecreaseBpp(8, false);

    struct Case {
        const char* name;
        RxImage* image;
        DWORD type;
        DWORD option;
    };
    const Case cases[] = {
        {"picture24.bmp", &picture, RXIMAGE_FORMAT_BMP, 0}, {"picture8.bmp", &palette, RXIMAGE_FORMAT_BMP, 0},
        {"picture8.gif", &palette, RXIMAGE_FORMAT_GIF, 2},  {"picture24.tga", &picture, RXIMAGE_FORMAT_TGA, 0},
        {"picture8.tga", &palette, RXIMAGE_FORMAT_TGA, 0},  {"picture24.pcx", &picture, RXIMAGE_FORMAT_PCX, 0},
        {"picture8.pcx", &palette, RXIMAGE_FORMAT_PCX, 0},
    };
    std::vector<std::string> names;
    std::map<std::string, double> ourDecode, ourEncode;
    for (const Case& c : cases) {
        c.image->SetEncodeOption(c.option);
        std::string file = directory + "/" + c.name;
        if (!c.image->Save(file.c_str(), c.type)) {
            std::fprintf(stderr, "%s: %s\n", c.name, c.image->GetLastError());
            return 1;
        }
        names.push_back(c.name);
        std::vector<BYTE> data = ReadFile(file);
        ourDecode[c.name] = BestSeconds([&] {
            RxImage image;
            if (!image.Decode(data.data(), DWORD(data.size()), c.type)) std::fprintf(stderr, "decode failed\n");
        });
        ourEncode[c.name] = BestSeconds([&] {
            BYTE* buffer = nullptr;
            LONG size = 0;
            if (c.image->Encode(buffer, size, c.type)) std::free(buffer);
        });
    }
    // Pillow writes the run-length TGA variant itself; we decode its file.
    std::string rle = directory + "/picture24-rle.tga";
    std::string command = "/usr/bin/python3 -c \"from PIL import Image; Image.open('" + directory +
                          "/picture24.tga').save('" + rle + "', rle=True)\"";
    if (std::system(command.c_str()) == 0) {
        std::vector<BYTE> data = ReadFile(rle);
        ourDecode["picture24-rle.tga"] = BestSeconds([&] {
            RxImage image;
            image.Decode(data.data(), DWORD(data.size()), RXIMAGE_FORMAT_TGA);
        });
        ourEncode["picture24-rle.tga"] = 0;  // our encoder writes no run-length TGA
        names.push_back("picture24-rle.tga");
    }

    std::map<std::string, std::pair<double, double>> pillow = PillowTimes(directory, names);
    const std::string group = "native codecs " + std::to_string(kWidth) + " x " + std::to_string(kHeight);
    for (const std::string& name : names) {
        const bool gif = name.find(".gif") != std::string::npos;
        const double refDecode = gif ? GiflibDecode(ReadFile(directory + "/" + name))
                                     : pillow.count(name) ? pillow[name].first : -1;
        bench::Result(group, name + " decode", ourDecode[name] * 1e3, "ms", gif ? "giflib" : "Pillow",
                      refDecode > 0 ? refDecode * 1e3 : -1);
        // Our encoder writes no run-length TGA, so that file has no encode figure.
        if (ourEncode[name] > 0)
            bench::Result(group, name + " encode", ourEncode[name] * 1e3, "ms", "Pillow",
                          pillow.count(name) ? pillow[name].second * 1e3 : -1);
    }
    std::string cleanup = "rm -rf " + directory;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
