#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Memory for a board-sized array. From a few megabytes up it is aligned to,
// and advised for, huge pages: the rows of a tile lie a board's width apart,
// so with small pages every row of every tile a generation computes would
// cost an address translation of its own.
template <class T>
class LargeBuffer {
public:
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;

    LargeBuffer() = default;
    // `count` elements of `value`; throws std::bad_alloc.
    LargeBuffer(std::size_t count, T value) : LargeBuffer(count) { std::fill_n(data_, count, value); }
    // `count` elements left as the memory comes (for a buffer about to be written whole).
    static LargeBuffer uninitialized(std::size_t count) { return LargeBuffer(count); }
    LargeBuffer(const LargeBuffer& other) : LargeBuffer(other.size_) { std::copy_n(other.data_, size_, data_); }
    LargeBuffer(LargeBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    LargeBuffer& operator=(const LargeBuffer& other)
    {
        if (this != &other) {
            if (size_ != other.size_)
                *this = LargeBuffer(other.size_);
            std::copy_n(other.data_, size_, data_);
        }
        return *this;
    }
    LargeBuffer& operator=(LargeBuffer&& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        return *this;
    }
    ~LargeBuffer() { std::free(data_); }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    explicit LargeBuffer(std::size_t count) : size_(count)
    {
        if (count == 0)
            return;
        const std::size_t bytes = count * sizeof(T);
        if (bytes >= kHugePage) {
            const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
            data_ = static_cast<T*>(std::aligned_alloc(kHugePage, rounded));
#if defined(__linux__) && defined(MADV_HUGEPAGE)
            if (data_)
                ::madvise(data_, rounded, MADV_HUGEPAGE);
#endif
        } else {
            data_ = static_cast<T*>(std::malloc(bytes));
        }
        if (!data_)
            throw std::bad_alloc();
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
};
