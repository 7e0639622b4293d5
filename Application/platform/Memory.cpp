// Allocation that reports its failure through message 1002.
#include "platform/Memory.h"

#include "platform/Messages.h"

#include <cstring>
#include <new>

namespace varlin {

std::unique_ptr<char[]> AllocOrReport(long long size) {
    if (size < 1) return nullptr;
    char* block = nullptr;
    if (static_cast<unsigned long long>(size) <= static_cast<unsigned long long>(PTRDIFF_MAX))
        block = new (std::nothrow) char[std::size_t(size)]();
    if (!block) ShowMessage(kOutOfMemoryMessage);
    return std::unique_ptr<char[]>(block);
}

std::unique_ptr<char[]> DupString(const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy = AllocOrReport((long long)length + 1);
    if (copy) std::memcpy(copy.get(), text, length + 1);
    return copy;
}

}  // namespace varlin
