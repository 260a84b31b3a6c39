#pragma once
// The largest single block allocated while a watch lives: the proof that a
// hostile picture was refused before anything of its claimed size was
// allocated for it. Only sanitized builds can watch (the sanitizer's
// allocator reports every allocation to a hook); elsewhere kWatching is
// false and bytes() stays 0.

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define WM_WATCH_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WM_WATCH_ALLOCATIONS 1
#endif
#endif

#if defined(WM_WATCH_ALLOCATIONS)
// From the sanitizer's runtime (its header comes with clang, not with GCC).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace wm::test {

class LargestAllocation {
  public:
#if defined(WM_WATCH_ALLOCATIONS)
    static constexpr bool kWatching = true;
#else
    static constexpr bool kWatching = false;
#endif

    LargestAllocation() {
        install();
        largest_ = 0;
        watching_ = true;
    }
    ~LargestAllocation() {
        watching_ = false;
    }
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const {
        return largest_;
    }

  private:
    // Runs inside the allocator: no allocation, no locks.
    static void on_allocate(const volatile void*, std::size_t size) {
        if (!watching_) {
            return;
        }
        std::size_t seen = largest_.load();
        while (size > seen && !largest_.compare_exchange_weak(seen, size)) {
        }
    }
    static void on_free(const volatile void*) {}

    static void install() {
#if defined(WM_WATCH_ALLOCATIONS)
        // Hooks cannot be taken out again: installed once, then switched.
        static const bool installed =
            __sanitizer_install_malloc_and_free_hooks(&on_allocate, &on_free) != 0;
        (void)installed;
#endif
    }

    static inline std::atomic<std::size_t> largest_{0};
    static inline std::atomic<bool> watching_{false};
};

}  // namespace wm::test
