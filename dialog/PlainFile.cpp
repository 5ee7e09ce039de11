#include "dialog/PlainFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsRegularFile(int fd)
{
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool WriteAll(int fd, const std::string& bytes)
{
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// The file that a write to `path` replaces: `path` itself, or the file its
// link points to when links are followed. False when that is anything but a
// regular file or a name still to be created.
bool ResolveTarget(const std::string& path, LinkPolicy links, std::string& target)
{
    target = path;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    if (S_ISLNK(info.st_mode)) {
        if (links == LinkPolicy::Refuse)
            return false;
        char* resolved = realpath(path.c_str(), nullptr);
        if (!resolved)
            return false;
        target = resolved;
        free(resolved);
        return stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }
    return S_ISREG(info.st_mode);
}

// A new file beside `path` that nobody else can have opened; -1 when none
// can be created.
int CreateSibling(const std::string& path, std::string& sibling)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        sibling = path + ".new" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        int fd = open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

FILE* OpenRegularFileForReading(const std::string& path)
{
    // Non-blocking so that opening a FIFO without a writer returns at once.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (!IsRegularFile(fd)) {
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes, LinkPolicy links)
{
    std::string target;
    if (!ResolveTarget(path, links, target))
        return false;
    // Written beside its name and moved over it in one step: a full disk or
    // any other failure leaves the earlier file whole, never a part of the
    // new one that a reader could take for the whole.
    std::string sibling;
    int fd = CreateSibling(target, sibling);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(sibling.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(sibling.c_str());
    return ok;
}
