// The hash that tells a changed file from an unchanged one: the same bytes give the same
// value however they are handed over in pieces (a file read in chunks, a save written
// line by line), and a changed, added or dropped byte anywhere gives another.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "document/DiskIdentity.h"

namespace {

std::uint64_t HashInPieces(const std::string& bytes, std::mt19937& random) {
    varlin::ContentHash hash;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t piece = std::uniform_int_distribution<std::size_t>(0, 70)(random);
        piece = std::min(piece, bytes.size() - at);
        hash.Update(bytes.data() + at, piece);
        at += piece;
    }
    return hash.Value();
}

TEST(ContentHash, DependsOnTheBytesAloneNotOnThePieces) {
    std::mt19937 random(21);
    for (std::size_t size : {0u, 1u, 7u, 8u, 31u, 32u, 33u, 100u, 1000u}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        varlin::ContentHash whole;
        whole.Update(bytes.data(), bytes.size());
        const std::uint64_t value = whole.Value();
        for (int round = 0; round < 20; ++round) EXPECT_EQ(HashInPieces(bytes, random), value) << size;

        std::set<std::uint64_t> changed{value};
        for (std::size_t i = 0; i < size; ++i) {
            std::string other = bytes;
            other[i] = static_cast<char>(other[i] ^ 1);
            EXPECT_TRUE(changed.insert(HashInPieces(other, random)).second) << size << " at " << i;
        }
        EXPECT_TRUE(changed.insert(HashInPieces(bytes + '\0', random)).second) << size;
        if (size > 0) {
            EXPECT_TRUE(changed.insert(HashInPieces(bytes.substr(1), random)).second) << size;
        }
    }
}

}  // namespace
