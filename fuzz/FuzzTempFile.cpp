#include "fuzz/FuzzTempFile.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

namespace {

// Memory-backed when possible: a target rewrites its file thousands of times
// a second, and a disk-backed folder makes that the bottleneck.
std::string BaseFolder() {
    const char* base = std::getenv("TMPDIR");
    if (base && *base) return base;
    if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return "/tmp";
}

// The folder and what the targets left in it go when the process ends.
class PrivateFolder {
public:
    PrivateFolder() : path(BaseFolder() + "/pdfimport-fuzz-XXXXXX") {
        if (!mkdtemp(&path[0])) {
            std::perror("mkdtemp");
            std::abort();
        }
    }
    ~PrivateFolder() {
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir))
                if (entry->d_name[0] != '.') unlink((path + "/" + entry->d_name).c_str());
            closedir(dir);
        }
        rmdir(path.c_str());
    }
    std::string path;
};

}  // namespace

const std::string& FuzzTempFile::Folder() {
    static const PrivateFolder folder;
    return folder.path;
}

FuzzTempFile::FuzzTempFile(const char* name) : path_(Folder() + "/" + name) {}

bool FuzzTempFile::Write(const uint8_t* data, size_t size) const {
    FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
