// A main for fuzz targets in builds without libFuzzer: runs every file of the
// folders (or files) named on the command line through
// LLVMFuzzerTestOneInput, then random mutations of them until the time is up.
// The mutations start from a fixed seed, so a run can be repeated; an input
// that crashes is saved as replay-crash-<program> in the working folder.
//
//   fuzz_x [-seconds=N] [-seed=N] PATH...
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define REPLAY_HAS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REPLAY_HAS_SANITIZER 1
#endif
#endif
#ifdef REPLAY_HAS_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

// Inputs larger than this are cut, as libFuzzer's default -max_len keeps
// mutated inputs small.
constexpr size_t kMaxInput = 1 << 20;

// The input being run, for the crash handlers.
const Bytes* currentInput = nullptr;
char crashPath[512];

void SaveCurrentInput() {
    if (!currentInput) return;
    const int fd = open(crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    size_t done = 0;
    while (done < currentInput->size()) {
        const ssize_t n = write(fd, currentInput->data() + done, currentInput->size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    close(fd);
    static const char note[] = "replay: the crashing input is saved in ";
    (void)!write(2, note, sizeof note - 1);
    (void)!write(2, crashPath, strlen(crashPath));
    (void)!write(2, "\n", 1);
}

void OnFatalSignal(int signal) {
    SaveCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallCrashHandlers(const char* program) {
    const char* base = std::strrchr(program, '/');
    std::snprintf(crashPath, sizeof crashPath, "replay-crash-%s", base ? base + 1 : program);
#ifdef REPLAY_HAS_SANITIZER
    __sanitizer_set_death_callback(&SaveCurrentInput);
#endif
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, &OnFatalSignal);
}

bool ReadFile(const std::string& path, Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes.assign(kMaxInput, 0);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return true;
}

// Files of a folder in name order, or the path itself when it is a file. A
// missing path is no error: a target may have no regression files yet.
void CollectInputs(const std::string& path, std::vector<std::string>& files) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return;
    if (!S_ISDIR(info.st_mode)) {
        files.push_back(path);
        return;
    }
    DIR* dir = opendir(path.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') names.push_back(path + "/" + entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    files.insert(files.end(), names.begin(), names.end());
}

void Run(const Bytes& input) {
    currentInput = &input;
    // An empty vector may have no storage; the target still gets a pointer.
    static const uint8_t none = 0;
    LLVMFuzzerTestOneInput(input.empty() ? &none : input.data(), input.size());
    currentInput = nullptr;
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    void Mutate(Bytes& bytes) {
        const int steps = 1 + int(Below(4));
        for (int i = 0; i < steps; ++i) MutateOnce(bytes);
        if (bytes.size() > kMaxInput) bytes.resize(kMaxInput);
    }

    size_t Below(size_t n) { return n ? size_t(random_() % n) : 0; }

private:
    void MutateOnce(Bytes& bytes) {
        // Values at the edges of the integer types find most size bugs.
        static const uint8_t kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0x10, 0x40, 0x20};
        switch (Below(7)) {
            case 0:
                if (!bytes.empty()) bytes[Below(bytes.size())] ^= uint8_t(1u << Below(8));
                break;
            case 1:
                if (!bytes.empty()) bytes[Below(bytes.size())] = kInteresting[Below(sizeof kInteresting)];
                break;
            case 2:
                if (!bytes.empty()) bytes[Below(bytes.size())] = uint8_t(random_());
                break;
            case 3: {
                const size_t at = Below(bytes.size() + 1);
                const size_t count = 1 + Below(16);
                Bytes insert(count);
                for (uint8_t& b : insert) b = uint8_t(random_());
                bytes.insert(bytes.begin() + long(at), insert.begin(), insert.end());
                break;
            }
            case 4:
                if (!bytes.empty()) {
                    const size_t at = Below(bytes.size());
                    const size_t count = 1 + Below(std::min<size_t>(bytes.size() - at, 64));
                    bytes.erase(bytes.begin() + long(at), bytes.begin() + long(at + count));
                }
                break;
            case 5:
                bytes.resize(Below(bytes.size() + 1));
                break;
            default:
                if (!bytes.empty()) {
                    const size_t from = Below(bytes.size());
                    const size_t count = 1 + Below(std::min<size_t>(bytes.size() - from, 64));
                    const Bytes chunk(bytes.begin() + long(from), bytes.begin() + long(from + count));
                    bytes.insert(bytes.begin() + long(Below(bytes.size() + 1)), chunk.begin(), chunk.end());
                }
                break;
        }
    }

    std::mt19937 random_;
};

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    uint32_t seed = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-seconds=", 0) == 0)
            seconds = std::atof(arg.c_str() + 9);
        else if (arg.rfind("-seed=", 0) == 0)
            seed = uint32_t(std::strtoul(arg.c_str() + 6, nullptr, 10));
        else
            CollectInputs(arg, files);
    }
    InstallCrashHandlers(argv[0]);

    std::vector<Bytes> corpus;
    for (const std::string& path : files) {
        Bytes bytes;
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 1;
        }
        Run(bytes);
        corpus.push_back(std::move(bytes));
    }
    if (corpus.empty()) corpus.emplace_back();

    Mutator mutator(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long mutations = 0;
    while (std::chrono::steady_clock::now() < end) {
        Bytes input = corpus[mutator.Below(corpus.size())];
        mutator.Mutate(input);
        Run(input);
        ++mutations;
    }
    std::printf("replay: %zu files, %ld mutations (seed %u)\n", files.size(), mutations, unsigned(seed));
    return 0;
}
