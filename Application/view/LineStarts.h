// LineStarts: where each line of a long text starts, when each line is known by its
// length. The lengths are kept in chunks of about a thousand lines with the chunks'
// running totals, so that the start of a line near the end of a million lines, the line
// at an offset, and the replacement of a few lines (typing, Enter, a deleted line) cost
// a chunk and the chunk totals, never a pass over every line. Lengths are positive (a
// line's characters and its break).
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace varlin {

class LineStarts {
public:
    // chunkSize: lines a chunk holds before it is split (small in tests, to cross chunks).
    explicit LineStarts(std::size_t chunkSize = 1024);

    // Lines 0 .. count - 1 of lengthOf(line) each, asked in order.
    void Assign(int count, const std::function<long long(int)>& lengthOf);
    int Count() const { return count_; }
    // Start(Count()) is the sum of every length.
    long long Start(int line) const;
    // The line whose [Start, next Start) holds offset; beyond either end the first or
    // the last line.
    int LineOf(long long offset) const;
    // Lines [first, first + removed) give way to lines of the given lengths.
    void Replace(int first, int removed, const std::vector<long long>& lengths);

private:
    // The chunk holding line (the last one for line == Count()).
    std::size_t ChunkOf(int line) const;
    // The running totals (lines and length before each chunk) from chunk `from` on.
    void Retotal(std::size_t from);

    std::size_t chunkSize_;
    int count_ = 0;
    // Per chunk, the end of each of its lines counted from the chunk's start. At least
    // one chunk; only a lone one may be empty.
    std::vector<std::vector<long long>> chunks_;
    std::vector<long long> sums_;           // per chunk, its length, beside the others
    std::vector<int> firstLine_;            // per chunk, and the count after the last
    std::vector<long long> firstOffset_;    // per chunk, and the total after the last
};

}  // namespace varlin
