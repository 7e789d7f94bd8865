// One writer of the registry at a time, across processes. A save holds the lock from its
// re-read of the stored value to its replace, so that what it merges with is the latest value;
// readers take no lock, since every replace is atomic.
// Off Windows the lock is an advisory lock (flock) on a file beside the registry file,
// "HKEY_CURRENT_USER.reg.lock"; on Windows a named mutex for the key. Either way the system
// releases a lock whose holder died, so a crashed process never blocks anyone.
#pragma once

#include <chrono>
#include <string>

// How long a save waits for the lock: 10 seconds unless SetRegistryLockTimeout says otherwise.
std::chrono::milliseconds RegistryLockTimeout();
// Sets (or, with zero, clears) a process-wide override of RegistryLockTimeout().
void SetRegistryLockTimeout(std::chrono::milliseconds timeout);

// The lock of the registry key at keyPath, for as long as the object lives.
class TRegistryLock {
public:
    // Waits up to RegistryLockTimeout() for the lock. Raises ERegistryException, naming the
    // lock, when it stays held or cannot be made. A thread that holds the lock already takes
    // it again at no cost.
    explicit TRegistryLock(const std::string& keyPath);
    ~TRegistryLock();
    TRegistryLock(const TRegistryLock&) = delete;
    TRegistryLock& operator=(const TRegistryLock&) = delete;

    // What the lock of keyPath is, for messages: the lock file, or on Windows the mutex name.
    static std::string LockName(const std::string& keyPath);

private:
    void Acquire(); // the platform's part: waits for the lock, or raises
    void Release() noexcept;

    std::string FName;
#ifdef _WIN32
    void* FHandle = nullptr;
#else
    int FFile = -1;
#endif
    bool FNested = false;
};
