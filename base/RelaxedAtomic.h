// A value (integer, float or double) shared between threads without ordering: plain loads and stores
// that ThreadSanitizer accepts. Neutral: the effect, the framework and the toolkit all use it.
#pragma once

#include <atomic>

// Each read and write is one relaxed atomic access; compound assignments are a load then a store, which
// is what a plain field gives a single writer and keeps the value race-free for concurrent readers.
template <typename T>
class RelaxedAtomic {
public:
    RelaxedAtomic(T initial = T()) : stored(initial) {}
    RelaxedAtomic(const RelaxedAtomic&) = delete;
    RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

    T load() const { return stored.load(std::memory_order_relaxed); }
    void store(T v) { stored.store(v, std::memory_order_relaxed); }

    operator T() const { return load(); }
    RelaxedAtomic& operator=(T v) {
        store(v);
        return *this;
    }
    RelaxedAtomic& operator+=(T v) {
        store(load() + v);
        return *this;
    }
    RelaxedAtomic& operator-=(T v) {
        store(load() - v);
        return *this;
    }

private:
    std::atomic<T> stored;
    static_assert(std::atomic<T>::is_always_lock_free, "shared values must be lock-free");
};
