// import_soak: a host that imports many times in one process and reports
// what each import leaves behind, for the repeated-use tests.
//
//   import_soak LIBRARY ENTRY ROUNDS [reload]
//
// Loads LIBRARY once (or, with "reload", loads and unloads it around every
// round), calls ENTRY (GetPDFInfo or GetPDFInfo2Out) ROUNDS times, and
// prints one line per step:
//
//   start fds F heap H
//   round K result R fds F heap H settings S loaded L
//   end fds F heap H loaded L
//
// F: open file descriptors; H: bytes of heap in use; S: 1 while the PDF
// library's process-wide settings object exists, 0 when it is gone, - when
// the library cannot be looked at; L: 1 while the library is still mapped.
// The user's part comes from the offscreen script, which holds one import
// per round.

#include <dirent.h>
#include <dlfcn.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator keeps its own count (its header is not always
// installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "host/EntryPoints.h"

namespace {

int OpenDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
        --count;  // the listing's own descriptor
    }
    return count;
}

long long HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return (long long)__sanitizer_get_current_allocated_bytes();
#else
    return (long long)mallinfo2().uordblks;
#endif
}

// Whether any mapping of the process comes from the library's file.
bool IsMapped(const std::string& library) {
    char resolved[4096];
    if (!realpath(library.c_str(), resolved)) return false;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find(resolved) != std::string::npos) return true;
    return false;
}

// The PDF library keeps its settings object in one process-wide owning
// pointer, `globalParams`; dlsym on the library's handle finds it among the
// library's dependencies.
const char* SettingsState(void* library) {
    void* symbol = dlsym(library, "globalParams");
    if (!symbol) return "-";
    return *static_cast<void**>(symbol) ? "1" : "0";
}

int Call(void* library, const std::string& entry) {
    void* symbol = dlsym(library, entry.c_str());
    if (!symbol) return -1;
    if (entry == "GetPDFInfo") {
        char* path = nullptr;
        char* ranges = nullptr;
        int scaleToFit = 0, fillSolid = 0, keepLineWidth = 0;
        const int result = reinterpret_cast<GetPDFInfoFunction>(symbol)(nullptr, &path, &ranges, nullptr,
                                                                         &scaleToFit, &fillSolid, &keepLineWidth,
                                                                         nullptr);
        // The host owns both texts after Convert.
        delete[] path;
        delete[] ranges;
        return result;
    }
    return reinterpret_cast<GetPDFInfo2OutFunction>(symbol)();
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// The library's font lookup loses a buffer inside fontconfig while it parses
// its configuration; that is not ours to fix.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

int main(int argc, char** argv) {
    if (argc < 4 || (argc == 5 && std::strcmp(argv[4], "reload") != 0) || argc > 5) {
        std::fprintf(stderr, "usage: import_soak LIBRARY ENTRY ROUNDS [reload]\n");
        return 2;
    }
    const std::string library = argv[1];
    const std::string entry = argv[2];
    const int rounds = std::atoi(argv[3]);
    const bool reload = argc == 5;

    std::printf("start fds %d heap %lld\n", OpenDescriptors(), HeapInUse());
    void* handle = nullptr;
    for (int round = 1; round <= rounds; ++round) {
        if (!handle) handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "import_soak: cannot load %s: %s\n", library.c_str(), dlerror());
            return 2;
        }
        const int result = Call(handle, entry);
        const char* settings = SettingsState(handle);
        if (reload) {
            dlclose(handle);
            handle = nullptr;
        }
        std::printf("round %d result %d fds %d heap %lld settings %s loaded %d\n", round, result, OpenDescriptors(),
                    HeapInUse(), settings, IsMapped(library) ? 1 : 0);
        std::fflush(stdout);
    }
    if (handle) dlclose(handle);
    std::printf("end fds %d heap %lld loaded %d\n", OpenDescriptors(), HeapInUse(), IsMapped(library) ? 1 : 0);
    return 0;
}
