// StopRequest: the one flag through which Ctrl+C and a time limit ask whatever runs to
// stop: a macro between its statements, and every long loop below it (reading a file,
// inserting a long text, walking a range of lines). It may be set from a signal handler
// or another thread; everything else only reads it.
#pragma once

#include <atomic>

namespace varlin {

extern std::atomic<int> g_stopRequest;  // 1 while a stop is asked for

void RequestStop();
void ClearStopRequest();
// Asked before every statement of a script, so it is a load and no call.
inline bool StopRequested() { return g_stopRequest.load(std::memory_order_relaxed) != 0; }

}  // namespace varlin
