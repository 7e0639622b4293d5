// Line starts kept in chunks agree with a plain running sum through random replacements
// of every size, with chunks small enough that the replacements cross, split, empty and
// merge them.
#include "view/LineStarts.h"

#include <gtest/gtest.h>

#include <random>

namespace varlin::test {
namespace {

TEST(LineStartsTest, RandomReplacementsAgreeWithARunningSum) {
    std::mt19937 rng(11);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int run = 0; run < 30; ++run) {
        LineStarts starts(static_cast<std::size_t>(1 + pick(5)));
        std::vector<long long> lengths(static_cast<std::size_t>(pick(20)));
        for (long long& l : lengths) l = 1 + pick(9);
        starts.Assign(static_cast<int>(lengths.size()), [&](int line) { return lengths[static_cast<std::size_t>(line)]; });
        for (int step = 0; step < 80; ++step) {
            const int count = static_cast<int>(lengths.size());
            const int first = pick(count + 1);
            const int removed = pick(count - first + 1) / (pick(3) + 1);
            std::vector<long long> added(static_cast<std::size_t>(pick(3) == 0 ? pick(12) : pick(3)));
            for (long long& l : added) l = 1 + pick(9);
            starts.Replace(first, removed, added);
            lengths.erase(lengths.begin() + first, lengths.begin() + first + removed);
            lengths.insert(lengths.begin() + first, added.begin(), added.end());
            SCOPED_TRACE(::testing::Message() << "run " << run << " step " << step);
            ASSERT_EQ(starts.Count(), static_cast<int>(lengths.size()));
            long long at = 0;
            for (int line = 0; line < starts.Count(); ++line) {
                ASSERT_EQ(starts.Start(line), at);
                ASSERT_EQ(starts.LineOf(at), line);
                ASSERT_EQ(starts.LineOf(at + lengths[static_cast<std::size_t>(line)] - 1), line);
                at += lengths[static_cast<std::size_t>(line)];
            }
            ASSERT_EQ(starts.Start(starts.Count()), at);
            ASSERT_EQ(starts.LineOf(at + 5), std::max(starts.Count() - 1, 0));
            ASSERT_EQ(starts.LineOf(-1), 0);
        }
    }
}

}  // namespace
}  // namespace varlin::test
