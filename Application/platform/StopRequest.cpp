#include "platform/StopRequest.h"

namespace varlin {

std::atomic<int> g_stopRequest{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

void RequestStop() { g_stopRequest.store(1, std::memory_order_relaxed); }
void ClearStopRequest() { g_stopRequest.store(0, std::memory_order_relaxed); }

}  // namespace varlin
