#pragma once

// A hand-off between threads that goes through Qt's event queue, told to ThreadSanitizer: Qt
// is not built for it, so the queue's own lock is invisible to it and every value handed over
// would look like a race. What a thread writes before HandedOver(token) is seen by the thread
// that calls TakenOver(token) afterwards. Without ThreadSanitizer both do nothing.

#if defined(__SANITIZE_THREAD__)
#define MIVO_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MIVO_TSAN 1
#endif
#endif

#ifdef MIVO_TSAN
#include <sanitizer/tsan_interface.h>
#endif

inline void HandedOver([[maybe_unused]] const void* token) {
#ifdef MIVO_TSAN
    __tsan_release(const_cast<void*>(token));
#endif
}

inline void TakenOver([[maybe_unused]] const void* token) {
#ifdef MIVO_TSAN
    __tsan_acquire(const_cast<void*>(token));
#endif
}
