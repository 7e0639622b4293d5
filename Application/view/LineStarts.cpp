// Line starts of a long text, kept in chunks with running totals.
#include "view/LineStarts.h"

#include <algorithm>

namespace varlin {
namespace {

using Lengths = std::vector<long long>;

Lengths LengthsOf(const Lengths& ends) {
    Lengths out(ends.size());
    for (std::size_t i = 0; i < ends.size(); ++i) out[i] = ends[i] - (i ? ends[i - 1] : 0);
    return out;
}

Lengths EndsOf(Lengths::const_iterator from, Lengths::const_iterator to) {
    Lengths out(from, to);
    for (std::size_t i = 1; i < out.size(); ++i) out[i] += out[i - 1];
    return out;
}

}  // namespace

LineStarts::LineStarts(std::size_t chunkSize) : chunkSize_(std::max<std::size_t>(chunkSize, 1)) { Assign(0, {}); }

void LineStarts::Assign(int count, const std::function<long long(int)>& lengthOf) {
    chunks_.clear();
    sums_.clear();
    for (int line = 0; line < count;) {
        Lengths ends;
        ends.reserve(chunkSize_);
        for (long long end = 0; line < count && ends.size() < chunkSize_; ++line) ends.push_back(end += lengthOf(line));
        sums_.push_back(ends.back());
        chunks_.push_back(std::move(ends));
    }
    if (chunks_.empty()) {
        chunks_.emplace_back();
        sums_.push_back(0);
    }
    Retotal(0);
}

void LineStarts::Retotal(std::size_t from) {
    firstLine_.resize(chunks_.size() + 1);
    firstOffset_.resize(chunks_.size() + 1);
    if (from == 0) {
        firstLine_[0] = 0;
        firstOffset_[0] = 0;
    }
    for (std::size_t i = from; i < chunks_.size(); ++i) {
        firstLine_[i + 1] = firstLine_[i] + static_cast<int>(chunks_[i].size());
        firstOffset_[i + 1] = firstOffset_[i] + sums_[i];
    }
    count_ = firstLine_.back();
}

std::size_t LineStarts::ChunkOf(int line) const {
    // The last chunk starting at or before line (no chunk but a lone one is empty).
    const auto it = std::upper_bound(firstLine_.begin(), firstLine_.end() - 1, line);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - firstLine_.begin() - 1, 0));
}

long long LineStarts::Start(int line) const {
    line = std::clamp(line, 0, count_);
    if (line == count_) return firstOffset_.back();
    const std::size_t c = ChunkOf(line);
    const int i = line - firstLine_[c];
    return firstOffset_[c] + (i > 0 ? chunks_[c][static_cast<std::size_t>(i - 1)] : 0);
}

int LineStarts::LineOf(long long offset) const {
    if (count_ == 0) return 0;
    const auto it = std::upper_bound(firstOffset_.begin(), firstOffset_.end() - 1, offset);
    const auto c = static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - firstOffset_.begin() - 1, 0));
    const Lengths& ends = chunks_[c];
    // The first line ending after offset; beyond the text, the last.
    const auto end = std::upper_bound(ends.begin(), ends.end(), offset - firstOffset_[c]);
    return firstLine_[c] + static_cast<int>(std::min<std::ptrdiff_t>(end - ends.begin(), static_cast<std::ptrdiff_t>(ends.size()) - 1));
}

void LineStarts::Replace(int first, int removed, const std::vector<long long>& lengths) {
    first = std::clamp(first, 0, count_);
    removed = std::clamp(removed, 0, count_ - first);
    const std::size_t c0 = ChunkOf(first);
    const std::size_t c1 = removed > 0 ? ChunkOf(first + removed - 1) : c0;
    Lengths& ends = chunks_[c0];
    if (c0 == c1 && ends.size() - static_cast<std::size_t>(removed) + lengths.size() - 1 < chunkSize_) {
        // Within one chunk that stays neither empty nor too long (typing, Enter): in
        // place, and the lines after it move along.
        const auto i0 = static_cast<std::ptrdiff_t>(first - firstLine_[c0]);
        const long long base = i0 > 0 ? ends[static_cast<std::size_t>(i0 - 1)] : 0;
        const long long removedLength = removed > 0 ? ends[static_cast<std::size_t>(i0 + removed - 1)] - base : 0;
        Lengths added = EndsOf(lengths.begin(), lengths.end());
        const long long shift = (added.empty() ? 0 : added.back()) - removedLength;
        for (long long& end : added) end += base;
        if (static_cast<std::size_t>(removed) == added.size()) {
            std::copy(added.begin(), added.end(), ends.begin() + i0);
        } else {
            ends.erase(ends.begin() + i0, ends.begin() + i0 + removed);
            ends.insert(ends.begin() + i0, added.begin(), added.end());
        }
        for (auto i = static_cast<std::size_t>(i0) + added.size(); i < ends.size(); ++i) ends[i] += shift;
        sums_[c0] += shift;
        if (static_cast<std::size_t>(removed) != added.size()) {
            Retotal(c0);
            return;
        }
        for (std::size_t c = c0 + 1; c < firstOffset_.size(); ++c) firstOffset_[c] += shift;
        return;
    }
    // The chunks c0 .. c1 as one run with the replacement made, cut into chunks again.
    Lengths merged;
    for (std::size_t c = c0; c <= c1; ++c) {
        const Lengths part = LengthsOf(chunks_[c]);
        merged.insert(merged.end(), part.begin(), part.end());
    }
    const auto at = merged.begin() + (first - firstLine_[c0]);
    merged.insert(merged.erase(at, at + removed), lengths.begin(), lengths.end());
    std::vector<Lengths> cut;
    const std::size_t pieces = (merged.size() + chunkSize_ - 1) / chunkSize_;
    for (std::size_t p = 0; p < pieces; ++p)
        cut.push_back(EndsOf(merged.begin() + static_cast<std::ptrdiff_t>(merged.size() * p / pieces),
                             merged.begin() + static_cast<std::ptrdiff_t>(merged.size() * (p + 1) / pieces)));
    std::vector<long long> cutSums;
    for (const Lengths& ends : cut) cutSums.push_back(ends.back());
    const auto from = static_cast<std::ptrdiff_t>(c0);
    const auto to = static_cast<std::ptrdiff_t>(c1) + 1;
    chunks_.erase(chunks_.begin() + from, chunks_.begin() + to);
    chunks_.insert(chunks_.begin() + from, std::make_move_iterator(cut.begin()), std::make_move_iterator(cut.end()));
    sums_.erase(sums_.begin() + from, sums_.begin() + to);
    sums_.insert(sums_.begin() + from, cutSums.begin(), cutSums.end());
    if (chunks_.empty()) {
        chunks_.emplace_back();
        sums_.push_back(0);
    }
    Retotal(std::min(c0, chunks_.size() - 1));
}

}  // namespace varlin
