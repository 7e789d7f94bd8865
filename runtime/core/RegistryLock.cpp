#include "RegistryLock.h"

#include "Exception.h"
#include "Registry.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#endif

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds DefaultTimeout = 10s;
std::atomic<long long> gTimeoutOverride{0};

// The locks this thread holds, by name.
thread_local std::set<std::string> tHeld;

std::string Seconds(std::chrono::milliseconds t) {
    const long long ms = t.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                          : std::to_string(ms) + " milliseconds";
}

[[noreturn]] void TimedOut(const std::string& name, std::chrono::milliseconds waited) {
    throw ERegistryException("another program has held the lock " + name + " for " +
                             Seconds(waited) + ", so nothing was written; try again once it "
                             "has finished");
}

#ifndef _WIN32
std::string Quoted(const std::string& file) {
    return "file \"" + file + "\"";
}
#endif

} // namespace

std::chrono::milliseconds RegistryLockTimeout() {
    const long long t = gTimeoutOverride.load();
    return t > 0 ? std::chrono::milliseconds(t) : DefaultTimeout;
}

void SetRegistryLockTimeout(std::chrono::milliseconds timeout) {
    gTimeoutOverride = timeout.count();
}

#ifdef _WIN32

std::string TRegistryLock::LockName(const std::string& keyPath) {
    // Key names ignore case; a mutex name may not hold '\' after its namespace.
    std::string key = RegistrySubKey(keyPath);
    for (char& c : key)
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "Local\\Quarvel.Registry.HKEY_CURRENT_USER/" + key;
}

void TRegistryLock::Acquire() {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, FName.c_str());
    if (!mutex)
        throw ERegistryException("cannot make the lock \"" + FName + "\" (error " +
                                 std::to_string(GetLastError()) + ")");
    const std::chrono::milliseconds timeout = RegistryLockTimeout();
    // An abandoned mutex (its holder died) is ours all the same.
    const DWORD rc = WaitForSingleObject(mutex, static_cast<DWORD>(timeout.count()));
    if (rc != WAIT_OBJECT_0 && rc != WAIT_ABANDONED) {
        CloseHandle(mutex);
        TimedOut("\"" + FName + "\"", timeout);
    }
    FHandle = mutex;
}

void TRegistryLock::Release() noexcept {
    ReleaseMutex(static_cast<HANDLE>(FHandle));
    CloseHandle(static_cast<HANDLE>(FHandle));
}

#else

std::string TRegistryLock::LockName(const std::string&) {
    // The whole file is rewritten by every save, whichever key it changes.
    return RegistryFile() + ".lock";
}

void TRegistryLock::Acquire() {
    const auto fail = [&](const std::string& why) {
        throw ERegistryException("cannot make the lock " + Quoted(FName) + ": " + why);
    };
    namespace fs = std::filesystem;
    const fs::path file(FName);
    std::error_code ec;
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), ec);

    // Made once with the registry file's permissions, so that whoever may write the file may
    // take its lock; never removed, since removing it would let two writers lock two files.
    int fd = ::open(FName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        struct stat registry {};
        if (::stat(RegistryFile().c_str(), &registry) == 0)
            ::fchmod(fd, registry.st_mode & 0666);
    } else if (errno == EEXIST) {
        fd = ::open(FName.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) // a lock needs no write access
            fd = ::open(FName.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0)
        fail(std::strerror(errno));

    const std::chrono::milliseconds timeout = RegistryLockTimeout();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // flock has no timeout of its own: try, and back off from 1 ms to 25 ms between tries.
    auto pause = 1ms;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            fail(std::strerror(error));
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            ::close(fd);
            TimedOut(Quoted(FName), timeout);
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, 25ms);
    }
    FFile = fd;
}

void TRegistryLock::Release() noexcept {
    ::close(FFile); // releases the lock
}

#endif

TRegistryLock::TRegistryLock(const std::string& keyPath) : FName(LockName(keyPath)) {
    // An inner hold does nothing: the outer one releases the lock.
    FNested = tHeld.count(FName) > 0;
    if (FNested)
        return;
    Acquire();
    tHeld.insert(FName);
}

TRegistryLock::~TRegistryLock() {
    if (FNested)
        return;
    tHeld.erase(FName);
    Release();
}
