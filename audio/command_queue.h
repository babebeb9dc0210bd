#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace qrv {

// A fixed-size queue between exactly one producing thread and one consuming thread, without
// locks or allocation: the main thread posts the mixer's commands through one, the mixer hands
// finished channels back through another.
template <class T, size_t Capacity>
class TCommandQueue {
    static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // Producer: appends the item; false when the queue is full.
    bool Push(const T& item) {
        const size_t tail = tailCount.load(std::memory_order_relaxed);
        if (tail - headCount.load(std::memory_order_acquire) == Capacity) return false;
        items[tail & (Capacity - 1)] = item;
        tailCount.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer: takes the oldest item; false when the queue is empty.
    bool Pop(T& item) {
        const size_t head = headCount.load(std::memory_order_relaxed);
        if (head == tailCount.load(std::memory_order_acquire)) return false;
        item = items[head & (Capacity - 1)];
        headCount.store(head + 1, std::memory_order_release);
        return true;
    }

    // Empties the queue; only while neither side is using it.
    void Clear() { headCount.store(tailCount.load()); }

private:
    std::array<T, Capacity> items{};
    alignas(64) std::atomic<size_t> headCount{0};
    alignas(64) std::atomic<size_t> tailCount{0};
};

}  // namespace qrv
