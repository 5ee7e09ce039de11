#include "ChildRun.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define HOSTILE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOSTILE_ASAN 1
#endif
#endif
#ifdef HOSTILE_ASAN
// The sanitizer runtime's allocator interface; not every compiler ships its
// header.
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t), void (*)(const volatile void*));
int __lsan_do_recoverable_leak_check();
}
#endif

namespace {

#ifdef HOSTILE_ASAN
std::atomic<uint64_t> heapPeak{0};

void OnMalloc(const volatile void*, size_t) {
    const uint64_t now = __sanitizer_get_current_allocated_bytes();
    uint64_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}
void OnFree(const volatile void*) {}
#endif

#ifndef HOSTILE_ASAN
// A field of /proc/self/status in bytes ("VmHWM", "VmSize"); 0 when absent.
uint64_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, prefix.size(), prefix) == 0) return std::stoull(line.substr(prefix.size())) * 1024;
    return 0;
}

// Lets the resident peak start again from the current size.
void ResetResidentPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
#endif

void WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

[[noreturn]] void ChildMain(int fd, const std::function<std::string()>& work, uint64_t addressBound,
                            unsigned seconds) {
    alarm(seconds);
    uint64_t baseline = 0;
#ifdef HOSTILE_ASAN
    (void)addressBound;
    baseline = __sanitizer_get_current_allocated_bytes();
    heapPeak = baseline;
    __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree);
#else
    const rlimit limit = {StatusBytes("VmSize") + addressBound, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    ResetResidentPeak();
    baseline = StatusBytes("VmHWM");
#endif
    const std::string text = work();
    uint64_t peak = 0;
    bool leaked = false;
#ifdef HOSTILE_ASAN
    peak = heapPeak.load() - baseline;
    leaked = __lsan_do_recoverable_leak_check() != 0;
#else
    const uint64_t highWater = StatusBytes("VmHWM");
    peak = highWater > baseline ? highWater - baseline : 0;
#endif
    char head[64];
    std::snprintf(head, sizeof head, "%llu %d\n", static_cast<unsigned long long>(peak), leaked ? 1 : 0);
    WriteAll(fd, head + text);
    close(fd);
    _exit(0);
}

}  // namespace

bool SanitizerBuild() {
#ifdef HOSTILE_ASAN
    return true;
#else
    return false;
#endif
}

ChildResult RunInChild(const std::function<std::string()>& work, uint64_t addressBound, unsigned seconds) {
    ChildResult result;
    int fds[2];
    if (pipe(fds) != 0) {
        result.how = "no pipe";
        return result;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        ChildMain(fds[1], work, addressBound, seconds);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
        result.how = std::string("signal ") + strsignal(WTERMSIG(status));
        return result;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty()) {
        result.how = "exit " + std::to_string(WEXITSTATUS(status));
        return result;
    }
    unsigned long long peak = 0;
    int leaked = 0;
    std::sscanf(output.c_str(), "%llu %d", &peak, &leaked);
    result.finished = true;
    result.peakBytes = peak;
    result.leaked = leaked != 0;
    result.text = output.substr(output.find('\n') + 1);
    return result;
}
