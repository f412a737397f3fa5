// LD_PRELOAD stand-in for a ppdev device: opening the path named by KORVALEN_FAKE_PARPORT yields a
// descriptor of a stand-in file whose ioctl and close calls are recorded instead of reaching a kernel
// driver. Everything else passes through to libc. A preload library has no owner to hold its state,
// hence the file-scope variables; the program under test opens and claims the port before any other
// thread writes to it, so they need no lock.
// For timing runs of the whole program, KORVALEN_FAKE_PARPORT_TIMES=1 adds the monotonic time in
// nanoseconds to each logged call, and the reads of the file named by KORVALEN_TIMED_INFILE (the
// sound file an ALSA file device plays) are logged as "R offset bytes time".
#undef _FORTIFY_SOURCE  // the fortified open wrappers would clash with the definitions below

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <vector>

#include "PpdevShim.h"

extern "C" {
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int dirfd, const char* path, int flags);
int __openat64_2(int dirfd, const char* path, int flags);
}

namespace {

std::vector<ShimCall> journal;
std::mutex journalLock;  // the driver writes from its port thread while a test reads
std::vector<int> fakeFds;  // every open descriptor of the fake device
ShimSetup setup;
int timedFd = -1;
long long timedOffset = 0;

using OpenFn = int (*)(const char*, int, ...);
using OpenatFn = int (*)(int, const char*, int, ...);

template <typename Fn>
Fn real(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// The run's log, opened once: a write per refresh tick must cost little. -1 when not asked for.
int logFd() {
    static const int fd = [] {
        const char* log = std::getenv("KORVALEN_FAKE_PARPORT_LOG");
        return log == nullptr ? -1 : real<OpenFn>("open")(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }();
    return fd;
}

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

bool timed() {
    static const bool on = std::getenv("KORVALEN_FAKE_PARPORT_TIMES") != nullptr;
    return on;
}

// One line per call, written whole so that lines from two threads never mix.
void logLine(const char* text, int n) {
    const int fd = logFd();
    if (fd < 0 || n <= 0) return;
    char line[96];
    const int total = timed() ? std::snprintf(line, sizeof line, "%.*s %lld\n", n, text, nowNs())
                              : std::snprintf(line, sizeof line, "%.*s\n", n, text);
    if (total > 0) (void)!::write(fd, line, static_cast<std::size_t>(total));
}

// Runs of the whole program log each call to the file named by KORVALEN_FAKE_PARPORT_LOG instead
// of keeping it in memory, where long runs would see it as growth of the program.
void record(const ShimCall& call) {
    if (logFd() < 0) {
        std::lock_guard lock(journalLock);
        journal.push_back(call);
        return;
    }
    char text[64];
    logLine(text, std::snprintf(text, sizeof text, "%d %lx %d", static_cast<int>(call.kind), call.request, call.value));
}

bool isFake(const char* path) {
    const char* fake = std::getenv(SHIM_DEVICE_VARIABLE);
    return fake != nullptr && path != nullptr && std::strcmp(path, fake) == 0;
}

bool isFakeFd(int fd) {
    for (const int f : fakeFds) {
        if (f == fd) return true;
    }
    return false;
}

int openFake(int flags) {
    if (setup.openErrno != 0) {
        errno = setup.openErrno;
        return -1;
    }
    const char* backing = std::getenv(SHIM_BACKING_VARIABLE);
    const int fd = backing != nullptr ? real<OpenFn>("open")(backing, O_RDWR | O_CREAT | (flags & O_CLOEXEC), 0600)
                                      : real<OpenFn>("open")("/dev/null", O_RDWR | (flags & O_CLOEXEC));
    if (fd >= 0) {
        fakeFds.push_back(fd);
        record({ShimCall::Open, 0, flags & O_ACCMODE});
    }
    return fd;
}

// The kernel's claim of a port that another program holds: it sleeps until that program lets go,
// and a signal ends the sleep.
int waitingClaim() {
    timespec remaining{10, 0};
    if (::nanosleep(&remaining, &remaining) != 0) {
        errno = EINTR;
        return -1;
    }
    return 0;
}

// A register write that sleeps, as one does while another process waits in a claim and holds the
// kernel's ppdev lock, until the test lets writes go (or ten seconds pass).
bool writesHeld = false;
std::condition_variable writesFreed;
void holdWrite() {
    std::unique_lock lock(journalLock);
    writesFreed.wait_for(lock, std::chrono::seconds(10), [] { return !writesHeld; });
}

bool claimWaits() {
    const char* mode = std::getenv(SHIM_CLAIM_VARIABLE);
    return setup.claimWaits || (mode != nullptr && std::strcmp(mode, "wait") == 0);
}

bool isTimedInfile(const char* path) {
    const char* file = std::getenv("KORVALEN_TIMED_INFILE");
    return file != nullptr && path != nullptr && std::strcmp(path, file) == 0;
}

int noteTimedInfile(const char* path, int fd) {
    if (fd >= 0 && isTimedInfile(path)) {
        timedFd = fd;
        timedOffset = 0;
    }
    return fd;
}

bool takesMode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

}  // namespace

// The mode argument is only there when the flags ask for it.
#define SHIM_MODE(flags)                    \
    mode_t mode = 0;                        \
    if (takesMode(flags)) {                 \
        va_list args;                       \
        va_start(args, flags);              \
        mode = va_arg(args, mode_t);        \
        va_end(args);                       \
    }

extern "C" {

std::size_t ppdev_shim_calls(const ShimCall** calls) {
    std::lock_guard lock(journalLock);
    *calls = journal.data();
    return journal.size();
}

void ppdev_shim_reset(ShimSetup newSetup) {
    std::lock_guard lock(journalLock);
    journal.clear();
    setup = newSetup;
    writesHeld = newSetup.writesWait;
}

void ppdev_shim_release_writes() {
    std::lock_guard lock(journalLock);
    writesHeld = false;
    writesFreed.notify_all();
}

int open(const char* path, int flags, ...) {
    if (isFake(path)) return openFake(flags);
    SHIM_MODE(flags)
    return noteTimedInfile(path, real<OpenFn>("open")(path, flags, mode));
}

int open64(const char* path, int flags, ...) {
    if (isFake(path)) return openFake(flags);
    SHIM_MODE(flags)
    return noteTimedInfile(path, real<OpenFn>("open64")(path, flags, mode));
}

int openat(int dirfd, const char* path, int flags, ...) {
    if (isFake(path)) return openFake(flags);
    SHIM_MODE(flags)
    return noteTimedInfile(path, real<OpenatFn>("openat")(dirfd, path, flags, mode));
}

int openat64(int dirfd, const char* path, int flags, ...) {
    if (isFake(path)) return openFake(flags);
    SHIM_MODE(flags)
    return noteTimedInfile(path, real<OpenatFn>("openat64")(dirfd, path, flags, mode));
}

int __open_2(const char* path, int flags) { return open(path, flags); }
int __open64_2(const char* path, int flags) { return open64(path, flags); }
int __openat_2(int dirfd, const char* path, int flags) { return openat(dirfd, path, flags); }
int __openat64_2(int dirfd, const char* path, int flags) { return openat64(dirfd, path, flags); }

int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (fd < 0 || !isFakeFd(fd)) return real<int (*)(int, unsigned long, ...)>("ioctl")(fd, request, arg);

    const bool writesByte = request == PPWDATA || request == PPWCONTROL;
    record({ShimCall::Ioctl, request, writesByte ? *static_cast<unsigned char*>(arg) : -1});
    if (writesByte) holdWrite();
    if (request == PPCLAIM && setup.claimErrno != 0) {
        errno = setup.claimErrno;
        return -1;
    }
    if (request == PPCLAIM && claimWaits()) return waitingClaim();
    return 0;
}

ssize_t read(int fd, void* buffer, std::size_t count) {
    static const auto realRead = real<ssize_t (*)(int, void*, std::size_t)>("read");
    const ssize_t n = realRead(fd, buffer, count);
    if (fd >= 0 && fd == timedFd && n > 0) {
        char text[64];
        logLine(text, std::snprintf(text, sizeof text, "R %lld %zd", timedOffset, n));
        timedOffset += n;
    }
    return n;
}

// With KORVALEN_MESURE_BLOCAGE set, each time the process's first thread (the window's) spent
// more than 20 ms between two waits for events, that is held by work and could not answer, is
// logged as "H <ns held> <monotonic ns at its end>".
// Left out of AddressSanitizer's instrumentation: poll is where a stream's thread is cancelled, and
// the redzones of a frame that cancellation unwinds would stay poisoned under later frames.
__attribute__((no_sanitize_address)) int poll(struct pollfd* fds, nfds_t n, int timeout) {
    static const auto realPoll = real<int (*)(struct pollfd*, nfds_t, int)>("poll");
    static const bool measured = std::getenv("KORVALEN_MESURE_BLOCAGE") != nullptr;
    if (!measured || ::gettid() != ::getpid()) return realPoll(fds, n, timeout);
    static long long leftWait = 0;
    const long long entered = nowNs();
    if (leftWait != 0 && entered - leftWait > 20000000) {
        char text[64];
        logLine(text, std::snprintf(text, sizeof text, "H %lld %lld", entered - leftWait, entered));
    }
    const int r = realPoll(fds, n, timeout);
    leftWait = nowNs();
    return r;
}

int close(int fd) {
    if (fd >= 0 && isFakeFd(fd)) {
        record({ShimCall::Close, 0, -1});
        std::erase(fakeFds, fd);
    }
    if (fd >= 0 && fd == timedFd) timedFd = -1;
    return real<int (*)(int)>("close")(fd);
}

}  // extern "C"
