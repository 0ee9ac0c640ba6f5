#include "engine/core/TCBlockPool.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <new>

namespace {

// Every block starts on a boundary any object may live on.
size_t Aligned(size_t size)
{
    constexpr size_t align = alignof(std::max_align_t);
    return std::max(align, (size + align - 1) / align * align);
}

} // namespace

TCBlockPool::TCBlockPool(size_t blockSize, size_t blockCount) : blockSize_(Aligned(blockSize)), blockCount_(blockCount)
{
    if (blockCount_ == 0)
        return;
    storage_ = std::make_unique<std::byte[]>(blockSize_ * blockCount_);
    free_.reserve(blockCount_);
    for (size_t i = 0; i < blockCount_; ++i)
        free_.push_back(storage_.get() + i * blockSize_);
}

TCBlockPool::~TCBlockPool() = default;

void* TCBlockPool::Alloc()
{
    if (used_ < blockCount_)
        return free_[used_++];
    ++overflow_;
    return ::operator new(blockSize_);
}

void TCBlockPool::Free(void* block)
{
    if (!block)
        return;
    if (!InStorage(block)) {
        assert(overflow_ > 0 && "a heap block freed that the pool never handed out");
        ::operator delete(block);
        --overflow_;
        return;
    }
    auto* start = static_cast<std::byte*>(block);
    assert((start - storage_.get()) % std::ptrdiff_t(blockSize_) == 0 && "an address inside a block");
    assert(std::find(free_.begin() + std::ptrdiff_t(used_), free_.end(), start) == free_.end() && "a block freed twice");
    free_[--used_] = start;
}

void TCBlockPool::Release()
{
    storage_.reset();
    free_.clear();
    free_.shrink_to_fit();
    blockCount_ = 0;
    used_ = 0;
}

bool TCBlockPool::InStorage(const void* block) const
{
    const auto* at = static_cast<const std::byte*>(block);
    const std::byte* start = storage_.get();
    const std::less<const std::byte*> before;
    return start && !before(at, start) && before(at, start + blockSize_ * blockCount_);
}
