// Storage of the topological entities (vertices, half-edges, edges, loops,
// faces): each kind in slabs of its own, handed out lowest slot first. A
// frame read from a file or built storey by storey then lies in memory in
// the order it was made, so the walks over its lists (the checks, the
// analysis's numbering, the drawing) read memory in order instead of
// chasing pointers all over the heap; after a model is deleted, the next one
// fills the same slots in order again. The slabs are given back when the
// last entity of their kind is freed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define MDL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define MDL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define MDL_POISON(p, n) ((void)(p), (void)(n))
#define MDL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

template <typename T> class EntityPool {
public:
    EntityPool() = default;
    EntityPool(const EntityPool&) = delete;
    EntityPool& operator=(const EntityPool&) = delete;
    ~EntityPool() { release(); }

    // A value-initialised entity; null when memory is exhausted.
    T* alloc() {
        for (; cursor_ < slabs_.size(); ++cursor_) {
            Slab& s = slabs_[cursor_];
            for (std::size_t w = s.word; w < s.free.size(); ++w) {
                if (s.free[w] == 0) continue;
                const int bit = __builtin_ctzll(s.free[w]);
                s.free[w] &= s.free[w] - 1;
                s.word = w;
                ++live_;
                T* p = s.items + (w * 64 + static_cast<std::size_t>(bit));
                MDL_UNPOISON(p, sizeof(T));
                return new (p) T{};
            }
            s.word = s.free.size();
        }
        // Slabs double from 64 entities up to 4096, so that a small frame stays small.
        const std::size_t n =
            slabs_.empty() ? 64 : std::min<std::size_t>(4096, 2 * slabs_.back().count);
        Slab s;
        s.items = static_cast<T*>(std::malloc(n * sizeof(T)));
        if (s.items == nullptr) return nullptr;
        s.count = n;
        s.free.assign(n / 64, ~std::uint64_t{0});
        MDL_POISON(s.items, n * sizeof(T));
        slabs_.push_back(std::move(s));
        return alloc();
    }

    void free(T* p) {
        if (p == nullptr) return;
        p->~T();
        for (std::size_t i = 0; i < slabs_.size(); ++i) {
            Slab& s = slabs_[i];
            if (p < s.items || p >= s.items + s.count) continue;
            const std::size_t k = static_cast<std::size_t>(p - s.items);
            s.free[k / 64] |= std::uint64_t{1} << (k % 64);
            if (k / 64 < s.word) s.word = k / 64;
            if (i < cursor_) cursor_ = i;
            MDL_POISON(p, sizeof(T));
            if (--live_ == 0) release();
            return;
        }
    }

    std::size_t live() const { return live_; }
    std::size_t slabs() const { return slabs_.size(); }

private:
    struct Slab {
        T* items = nullptr;
        std::size_t count = 0;
        std::vector<std::uint64_t> free; // a set bit: the slot is free
        std::size_t word = 0;            // no free slot before this word
    };
    std::vector<Slab> slabs_;
    std::size_t cursor_ = 0; // no free slot before this slab
    std::size_t live_ = 0;

    void release() {
        for (Slab& s : slabs_) {
            MDL_UNPOISON(s.items, s.count * sizeof(T));
            std::free(s.items);
        }
        slabs_.clear();
        cursor_ = 0;
    }
};
