#include "engine/core/TCBlockPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

TEST(BlockPool, OverflowGoesToTheHeapAndComesBack)
{
    TCBlockPool pool(88, 2);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    void* heap = pool.Alloc();
    EXPECT_EQ(pool.GetUsed(), 2u);
    EXPECT_EQ(pool.GetOverflow(), 1u);
    EXPECT_EQ(static_cast<std::byte*>(b) - static_cast<std::byte*>(a), std::ptrdiff_t(pool.GetBlockSize()));

    pool.Free(heap);
    EXPECT_EQ(pool.GetOverflow(), 0u);
    EXPECT_EQ(pool.GetUsed(), 2u);
    pool.Free(a);
    pool.Free(b);
    EXPECT_EQ(pool.GetUsed(), 0u);
}

TEST(BlockPool, TheBlockFreedLastComesBackFirst)
{
    TCBlockPool pool(24, 3);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    pool.Free(a);
    EXPECT_EQ(pool.Alloc(), a);
    pool.Free(b);
    pool.Free(a);
    EXPECT_EQ(pool.Alloc(), a);
    EXPECT_EQ(pool.Alloc(), b);
    void* c = pool.Alloc();
    EXPECT_EQ(std::set<void*>({a, b, c}).size(), 3u);
    EXPECT_EQ(pool.GetOverflow(), 0u);
    for (void* block : {a, b, c})
        pool.Free(block);
}

TEST(BlockPool, EmptyOrReleasedPoolsUseOnlyTheHeap)
{
    TCBlockPool empty(16, 0);
    void* a = empty.Alloc();
    void* b = empty.Alloc();
    EXPECT_EQ(empty.GetUsed(), 0u);
    EXPECT_EQ(empty.GetOverflow(), 2u);
    empty.Free(a);
    empty.Free(b);
    EXPECT_EQ(empty.GetOverflow(), 0u);

    TCBlockPool pool(16, 4);
    pool.Release();
    void* c = pool.Alloc();
    EXPECT_EQ(pool.GetOverflow(), 1u);
    pool.Free(c);
    EXPECT_EQ(pool.GetOverflow(), 0u);
}

TEST(BlockPool, BlocksHoldAnyObject)
{
    TCBlockPool pool(3, 4); // an odd size still keeps every block aligned
    for (int i = 0; i < 4; ++i) {
        void* block = pool.Alloc();
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
        *static_cast<double*>(block) = 1.5;
    }
}

#ifndef NDEBUG
TEST(BlockPoolDeathTest, ADoubleFreeIsCaughtInDebugBuilds)
{
    TCBlockPool pool(8, 2);
    void* a = pool.Alloc();
    pool.Alloc();
    pool.Free(a);
    EXPECT_DEATH(pool.Free(a), "freed twice");
}
#endif

} // namespace
