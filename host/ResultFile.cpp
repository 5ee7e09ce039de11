#include "host/ResultFile.h"

#include "dialog/ImportOptions.h"
#include "platform/Shell.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "%f" of the C locale (fixed, six decimals), whatever locale the host runs
// under: the file must read the same for every host.
std::string FixedSixDecimals(double value)
{
    char text[512];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return "0.000000";
    return std::string(text, result.ptr);
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

ResultFile::ResultFile()
    : m_path(GetTempDirectory() + "PDFInfo.dat")
{
}

ResultFile::ResultFile(std::string path)
    : m_path(std::move(path))
{
}

std::string ResultFile::Text(const ImportOptions& options)
{
    std::string text;
    auto line = [&text](const char* key, const std::string& value) {
        text += key;
        text += value;
        text += "\r\n";
    };
    line("InputFile:", options.pdfPath);
    line("Ranglist:", options.RangeListText());
    line("Scale:", FixedSixDecimals(options.scale));
    line("Scale it:", std::to_string(options.scaleToFit));
    line("Fill it:", std::to_string(options.fillSolid));
    line("Has width:", std::to_string(options.keepLineWidth));
    return text;
}

bool ResultFile::Write(const ImportOptions& options) const
{
    // The temporary directory is usually shared: a link, FIFO or anything but
    // a regular file planted at our name is refused, never followed.
    struct stat existing;
    if (lstat(m_path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return false;
    // Written beside its name and moved over it in one step: a full disk or
    // any other failure leaves the earlier file whole, never a part of the
    // new one that a host could take for a result.
    std::string sibling;
    int fd = CreateSibling(m_path, sibling);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, Text(options)) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(sibling.c_str(), m_path.c_str()) == 0;
    if (!ok)
        unlink(sibling.c_str());
    return ok;
}
