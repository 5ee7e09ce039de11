#include "platform/Shell.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

std::string GetTempDirectory() {
    const char* env = std::getenv("TMPDIR");
    std::string dir = (env && *env) ? env : "/tmp/";
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::string GetModuleFileName() {
    Dl_info info;
    static const int anchor = 0;  // any address inside this module
    if (dladdr(&anchor, &info) && info.dli_fname && *info.dli_fname) {
        char resolved[PATH_MAX];
        if (realpath(info.dli_fname, resolved)) return resolved;
        return info.dli_fname;
    }
    return GetProgramFileName();
}

std::string GetProgramFileName() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return std::string(buffer, size_t(n));
}

void ShellOpen(const std::string& target) {
    if (target.empty()) return;
    // Double fork: the opener is adopted by init, so we neither wait for the
    // application nor leave a zombie behind.
    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            const int devnull = open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, STDIN_FILENO);
                dup2(devnull, STDOUT_FILENO);
                dup2(devnull, STDERR_FILENO);
            }
            execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

OsVersion GetOsVersion() {
    OsVersion version;
    struct utsname name;
    if (uname(&name) != 0) return version;
    version.system = name.sysname;
    version.release = name.release;
    char* end = nullptr;
    version.major = int(std::strtol(name.release, &end, 10));
    if (end && *end == '.') version.minor = int(std::strtol(end + 1, nullptr, 10));
    return version;
}

namespace {

DWORD CopyToBuffer(const std::string& text, char* buffer, DWORD bufferSize) {
    if (!buffer || text.size() + 1 > bufferSize) {
        if (buffer && bufferSize > 0) buffer[0] = '\0';
        return DWORD(text.size() + 1);
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return DWORD(text.size());
}

}  // namespace

DWORD GetTempPathA(DWORD bufferSize, char* buffer) { return CopyToBuffer(GetTempDirectory(), buffer, bufferSize); }

DWORD GetModuleFileNameA(char* buffer, DWORD bufferSize) {
    return CopyToBuffer(GetModuleFileName(), buffer, bufferSize);
}
