#pragma once

#include <algorithm>
#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace orvenda {

// The elements of a list, matrix or string value, shared by every copy: a copy takes a count
// on the block, never the elements, so reading a variable, storing it and keeping it as Ans
// cost no copy.
//
// Changing a copy never changes another:
// - writing elements in place (writable(), insert, erase) happens only while this copy is
//   the block's one owner; a shared block is copied first;
// - appending happens in place also while others share the block, provided this copy ends
//   where the block's elements end and the block has room. The others read only their own
//   first size() elements, which nothing writes again, so none of them sees the new ones.
//   Blocks grow by doubling, so a loop that keeps appending to its newest copy is linear.
//
// Threads: like std::shared_ptr, one copy (one SharedArray object) is used by one thread at
// a time, while different copies of one block may be used by different threads at once.
// The owner count is read with acquire order, so an owner that finds itself alone sees
// everything the copies that went before it did with the elements.
template <class T>
class SharedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

    struct Block {
        std::atomic<std::size_t> owners;
        // How far some copy's elements reach; appending in place claims the room after it.
        std::atomic<std::size_t> used;
        std::size_t capacity;
    };
    static constexpr std::size_t kItemsAt = (sizeof(Block) + alignof(T) - 1) / alignof(T) * alignof(T);

public:
    using value_type = T;
    using size_type = std::size_t;
    // Reading only: writable() gives the elements to change.
    using iterator = const T*;
    using const_iterator = const T*;

    SharedArray() noexcept = default;
    SharedArray(std::span<const T> items) { append(items); }
    SharedArray(std::initializer_list<T> items) : SharedArray(std::span<const T>(items.begin(), items.size())) {}
    SharedArray(const std::vector<T>& items) : SharedArray(std::span<const T>(items)) {}
    SharedArray(const SharedArray& other) noexcept : block_(other.block_), size_(other.size_)
    {
        if (block_)
            block_->owners.fetch_add(1, std::memory_order_relaxed);
    }
    SharedArray(SharedArray&& other) noexcept
        : block_(std::exchange(other.block_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    SharedArray& operator=(const SharedArray& other) noexcept
    {
        SharedArray copy(other);
        swap(copy);
        return *this;
    }
    SharedArray& operator=(SharedArray&& other) noexcept
    {
        SharedArray taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~SharedArray() { release(block_); }

    void swap(SharedArray& other) noexcept
    {
        std::swap(block_, other.block_);
        std::swap(size_, other.size_);
    }

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const T* data() const noexcept { return block_ ? itemsOf(block_) : nullptr; }
    const T* begin() const noexcept { return data(); }
    const T* end() const noexcept { return data() + size_; }
    const T& operator[](std::size_t i) const noexcept { return data()[i]; }
    const T& front() const noexcept { return data()[0]; }
    const T& back() const noexcept { return data()[size_ - 1]; }
    std::span<const T> span() const noexcept { return {data(), size_}; }
    operator std::span<const T>() const noexcept { return span(); }
    std::vector<T> toVector() const { return std::vector<T>(begin(), end()); }

    // Both read the same block.
    bool sharesWith(const SharedArray& other) const noexcept { return block_ && block_ == other.block_; }

    // Room for n elements, so that appending up to n copies nothing.
    void reserve(std::size_t n)
    {
        if (n > size_ && !(block_ && block_->capacity >= n && (alone() || atTip())))
            moveTo(n);
    }
    void push_back(const T& item) { append(std::span<const T>(&item, 1)); }
    void append(std::span<const T> items)
    {
        const std::size_t k = items.size();
        if (k == 0)
            return;
        if (claimRoom(k)) {
            // One element, the common append, is copied without a call.
            if (k == 1)
                itemsOf(block_)[size_] = items[0];
            else
                std::memcpy(itemsOf(block_) + size_, items.data(), k * sizeof(T));
            size_ += k;
            return;
        }
        // The items may be this copy's own: the block they are in goes only after.
        Block* old = replaceBlock(std::max({size_ + k, 2 * size_, std::size_t(4)}));
        std::memcpy(itemsOf(block_) + size_, items.data(), k * sizeof(T));
        block_->used.store(size_ += k, std::memory_order_relaxed);
        release(old);
    }
    // The elements to change in place, copied into a block of their own first when shared.
    std::span<T> writable()
    {
        if (!block_)
            return {};
        if (!alone())
            moveTo(size_);
        return {itemsOf(block_), size_};
    }
    // Shortening keeps the block (the others still read their own elements); lengthening
    // appends copies of `fill`.
    void resize(std::size_t n, T fill)
    {
        if (n <= size_) {
            size_ = n;
            if (n == 0)
                clear();
            return;
        }
        const std::size_t k = n - size_;
        if (!claimRoom(k)) {
            moveTo(n);
            block_->used.store(n, std::memory_order_relaxed);
        }
        std::fill_n(itemsOf(block_) + size_, k, fill);
        size_ = n;
    }
    void insert(std::size_t at, T item)
    {
        if (at >= size_) {
            push_back(item);
            return;
        }
        if (!(alone() && block_->capacity > size_))
            moveTo(std::max(size_ + 1, 2 * size_));
        T* items = itemsOf(block_);
        std::memmove(items + at + 1, items + at, (size_ - at) * sizeof(T));
        items[at] = item;
        block_->used.store(++size_, std::memory_order_relaxed);
    }
    void erase(std::size_t at)
    {
        if (at >= size_)
            return;
        T* items = writable().data();
        std::memmove(items + at, items + at + 1, (size_ - at - 1) * sizeof(T));
        block_->used.store(--size_, std::memory_order_relaxed);
    }
    void clear() noexcept
    {
        release(std::exchange(block_, nullptr));
        size_ = 0;
    }

    friend bool operator==(const SharedArray& a, const SharedArray& b)
        requires std::equality_comparable<T>
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const SharedArray& a, const std::vector<T>& b)
        requires std::equality_comparable<T>
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    static T* itemsOf(Block* block) noexcept
    {
        return std::launder(reinterpret_cast<T*>(reinterpret_cast<char*>(block) + kItemsAt));
    }
    static void release(Block* block) noexcept
    {
        if (block && block->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            block->~Block();
            ::operator delete(block);
        }
    }
    bool alone() const noexcept { return block_->owners.load(std::memory_order_acquire) == 1; }
    bool atTip() const noexcept { return block_->used.load(std::memory_order_relaxed) == size_; }
    // Whether the k places after this copy's elements are its own to write: the block is
    // its alone, or its elements end where the block's do and it claims the room first.
    bool claimRoom(std::size_t k) noexcept
    {
        if (!block_ || block_->capacity - size_ < k)
            return false;
        if (alone()) {
            block_->used.store(size_ + k, std::memory_order_relaxed);
            return true;
        }
        std::size_t expected = size_;
        return block_->used.compare_exchange_strong(expected, size_ + k, std::memory_order_relaxed);
    }
    // This copy's elements into a new block of its own with room for `capacity`; the old
    // block is the caller's to release.
    [[nodiscard]] Block* replaceBlock(std::size_t capacity)
    {
        void* memory = ::operator new(kItemsAt + capacity * sizeof(T));
        Block* block = new (memory) Block{{1}, {size_}, capacity};
        if (size_ > 0)
            std::memcpy(itemsOf(block), data(), size_ * sizeof(T));
        return std::exchange(block_, block);
    }
    void moveTo(std::size_t capacity) { release(replaceBlock(capacity)); }

    Block* block_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace orvenda
