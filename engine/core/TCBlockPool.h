#pragma once
#include <cstddef>
#include <memory>
#include <vector>

// Equal-sized blocks carved from one allocation, handed out and taken back without touching the
// heap; once they are all out, further blocks come from the heap until freed. Blocks are raw
// memory: the caller constructs and destroys what it keeps in them.
class TCBlockPool {
public:
    TCBlockPool(size_t blockSize, size_t blockCount);
    ~TCBlockPool();
    TCBlockPool(const TCBlockPool&) = delete;
    TCBlockPool& operator=(const TCBlockPool&) = delete;

    // The block freed last comes back first.
    void* Alloc();
    void Free(void* block);
    // Drops the pool's own blocks; later blocks come from the heap.
    void Release();

    size_t GetBlockSize() const { return blockSize_; }
    size_t GetBlockCount() const { return blockCount_; }
    // Pool blocks handed out.
    size_t GetUsed() const { return used_; }
    // Heap blocks handed out and not yet freed.
    size_t GetOverflow() const { return overflow_; }

private:
    bool InStorage(const void* block) const;

    size_t blockSize_;
    size_t blockCount_;
    size_t used_ = 0;
    size_t overflow_ = 0;
    std::unique_ptr<std::byte[]> storage_;
    // Entries from used_ upward are the free blocks.
    std::vector<std::byte*> free_;
};
