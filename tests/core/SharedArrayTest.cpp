// The elements of lists, matrices and strings, shared by their copies: a change to one copy
// never shows in another, and appending to the newest copy stays in place.

#include "core/SharedArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace orvenda {
namespace {

using Array = SharedArray<std::uint32_t>;
using Items = std::vector<std::uint32_t>;

Array counting(std::uint32_t n)
{
    Array a;
    for (std::uint32_t k = 0; k < n; ++k)
        a.push_back(k);
    return a;
}

TEST(SharedArray, CopiesShareUntilOneIsWritten)
{
    Array a{1, 2, 3};
    Array b = a;
    EXPECT_TRUE(b.sharesWith(a));
    b.writable()[0] = 9;
    EXPECT_FALSE(b.sharesWith(a));
    EXPECT_EQ(a, (Items{1, 2, 3}));
    EXPECT_EQ(b, (Items{9, 2, 3}));

    // The one owner left writes in place.
    const std::uint32_t* before = a.data();
    a.writable()[2] = 7;
    EXPECT_EQ(a.data(), before);
    EXPECT_EQ(a, (Items{1, 2, 7}));
}

TEST(SharedArray, InsertEraseAndResizeLeaveTheOtherCopies)
{
    const Array original{1, 2, 3};
    Array inserted = original, erased = original, shorter = original, longer = original;
    inserted.insert(1, 8);
    erased.erase(0);
    shorter.resize(1, 0);
    longer.resize(5, 4);
    EXPECT_EQ(original, (Items{1, 2, 3}));
    EXPECT_EQ(inserted, (Items{1, 8, 2, 3}));
    EXPECT_EQ(erased, (Items{2, 3}));
    EXPECT_EQ(shorter, (Items{1}));
    EXPECT_EQ(longer, (Items{1, 2, 3, 4, 4}));

    // A shortened copy that appends must not write over what the others still read.
    shorter.push_back(6);
    EXPECT_EQ(shorter, (Items{1, 6}));
    EXPECT_EQ(original, (Items{1, 2, 3}));
}

TEST(SharedArray, TheNewestCopyAppendsInPlaceAndTheOthersKeepTheirLength)
{
    Array stored = counting(10);
    stored.reserve(64);
    Array ans = stored;
    Array joined = stored;
    joined.append(Items{10, 11});
    EXPECT_TRUE(joined.sharesWith(stored)); // no copy: the room after the elements was free
    EXPECT_EQ(stored.size(), 10u);
    EXPECT_EQ(ans, counting(10));
    EXPECT_EQ(joined, counting(12));

    // The old copy no longer ends where the elements end: its append copies.
    Array other = stored;
    other.push_back(99);
    EXPECT_FALSE(other.sharesWith(stored));
    EXPECT_EQ(other.back(), 99u);
    EXPECT_EQ(joined[10], 10u);
}

TEST(SharedArray, ABlockThatGrewKeepsTakingAppendsInPlace)
{
    // As a string loop does: the variable, Ans and the stack all hold the newest copy.
    Array stored{0};
    for (std::uint32_t k = 1; k < 1000; ++k) {
        const Array ans = stored;
        Array joined = stored;
        const bool roomy = stored.size() < 4 || (stored.size() & (stored.size() - 1)) != 0;
        joined.push_back(k);
        // Only a full block is copied (into one twice as large).
        EXPECT_EQ(joined.sharesWith(ans), roomy) << k;
        EXPECT_EQ(ans.size(), k);
        stored = joined;
    }
    EXPECT_EQ(stored, counting(1000));
}

TEST(SharedArray, AppendingItselfReadsItsOwnElements)
{
    Array a{1, 2};
    a.append(a); // a new block: the old one goes only after the copy
    EXPECT_EQ(a, (Items{1, 2, 1, 2}));
    a.reserve(16);
    a.append(a); // in place
    EXPECT_EQ(a, (Items{1, 2, 1, 2, 1, 2, 1, 2}));
    a.insert(0, a[3]);
    EXPECT_EQ(a.front(), 2u);
}

TEST(SharedArray, EmptyArraysHoldNoBlock)
{
    Array a;
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_TRUE(a.writable().empty());
    Array b = a;
    EXPECT_FALSE(b.sharesWith(a));
    a.push_back(5);
    EXPECT_TRUE(b.empty());
    a.resize(0, 0);
    EXPECT_EQ(a.data(), nullptr);
}

// Two threads with copies of one block, as the worker and the main thread have: each
// appends to its own copy at once; at most one wins the room in place and neither sees
// the other's elements.
TEST(SharedArray, CopiesAppendOnTwoThreadsAtOnce)
{
    for (int round = 0; round < 200; ++round) {
        Array base = counting(8);
        base.reserve(32);
        Array mine = base, theirs = base;
        std::thread other([&theirs] {
            for (std::uint32_t k = 0; k < 8; ++k)
                theirs.push_back(1000 + k);
        });
        for (std::uint32_t k = 0; k < 8; ++k)
            mine.push_back(2000 + k);
        other.join();
        EXPECT_EQ(base, counting(8));
        for (std::uint32_t k = 0; k < 8; ++k) {
            EXPECT_EQ(mine[8 + k], 2000 + k);
            EXPECT_EQ(theirs[8 + k], 1000 + k);
        }
        EXPECT_FALSE(mine.sharesWith(theirs));
    }
}

} // namespace
} // namespace orvenda
