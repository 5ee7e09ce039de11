#include "dialog/PlainFile.h"

#include <cerrno>
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
    int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    if (links == LinkPolicy::Refuse)
        flags |= O_NOFOLLOW;
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0)
        return false;
    // Truncate only once the file is known to be a regular one.
    bool ok = IsRegularFile(fd) && ftruncate(fd, 0) == 0 && WriteAll(fd, bytes);
    ok = close(fd) == 0 && ok;
    return ok;
}
