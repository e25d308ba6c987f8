// Busy-wait lock of the runtime's process-wide lists and of its system-call gate.
#pragma once

#include <atomic>
#include <cstdint>

class SpinLock {
  public:
    // Exchanges -1 into the lock word until the old value was 0.
    void Lock() noexcept {
        while (word_.exchange(-1, std::memory_order_acquire) != 0) {
        }
    }
    void Unlock() noexcept { word_.store(0, std::memory_order_release); }

  private:
    std::atomic<std::int32_t> word_{0};
};

class SpinLockGuard {
  public:
    explicit SpinLockGuard(SpinLock& lock) noexcept : lock_(lock) { lock_.Lock(); }
    ~SpinLockGuard() { lock_.Unlock(); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;

  private:
    SpinLock& lock_;
};
