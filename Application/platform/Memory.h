// Allocation with the out-of-memory message: the places that allocate a buffer for an
// operation show message 1002 and give up the operation when memory runs out, instead of
// letting an exception leave the core. The results own their memory.
#pragma once

#include <cstddef>
#include <memory>

namespace varlin {

constexpr int kOutOfMemoryMessage = 1002;

// A copy of text, or null for a null text. When memory runs out, shows 1002 and gives null.
std::unique_ptr<char[]> DupString(const char* text);

// A zero-filled block of size bytes, or null for a size below 1. When memory runs out,
// shows 1002 and gives null.
std::unique_ptr<char[]> AllocOrReport(long long size);

}  // namespace varlin
