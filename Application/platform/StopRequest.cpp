#include "platform/StopRequest.h"

#include <atomic>

namespace varlin {
namespace {

std::atomic<int> g_stop{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace

void RequestStop() { g_stop.store(1, std::memory_order_relaxed); }
void ClearStopRequest() { g_stop.store(0, std::memory_order_relaxed); }
bool StopRequested() { return g_stop.load(std::memory_order_relaxed) != 0; }

}  // namespace varlin
