#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Memory for a board-sized array. From a few megabytes up it is aligned to,
// and advised for, huge pages: the rows of a tile lie a board's width apart,
// so with small pages every row of every tile a generation computes would
// cost an address translation of its own. An array of zeros that large is a
// mapping of its own, which the system gives as zeros only as it is first
// touched, so zeros are not written again: a board's parts that stay empty
// cost nothing. (Other arrays come from the allocator, which hands memory
// freed a moment ago out again without clearing it first.)
template <class T>
class LargeBuffer {
public:
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;

    LargeBuffer() = default;
    // `count` elements of `value`; throws std::bad_alloc.
    LargeBuffer(std::size_t count, T value) : LargeBuffer(count, value == T{} ? Start::Zeros : Start::Anything)
    {
        if (!(mapped_ && value == T{}))
            std::fill_n(data_, count, value);
    }
    // `count` elements as the system gives them: memory it has not handed
    // out before stays untouched (and zero) until written.
    static LargeBuffer untouched(std::size_t count) { return LargeBuffer(count, Start::Anything); }
    LargeBuffer(const LargeBuffer& other) : LargeBuffer(other.size_, Start::Anything)
    {
        std::copy_n(other.data_, size_, data_);
    }
    LargeBuffer(LargeBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          mapped_(std::exchange(other.mapped_, false))
    {
    }
    LargeBuffer& operator=(const LargeBuffer& other)
    {
        if (this != &other) {
            if (size_ != other.size_)
                *this = LargeBuffer(other.size_, Start::Anything);
            std::copy_n(other.data_, size_, data_);
        }
        return *this;
    }
    LargeBuffer& operator=(LargeBuffer&& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(mapped_, other.mapped_);
        return *this;
    }
    ~LargeBuffer()
    {
#if defined(__linux__)
        if (mapped_) {
            ::munmap(data_, mappedBytes(size_));
            return;
        }
#endif
        std::free(data_);
    }

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
    static std::size_t mappedBytes(std::size_t count)
    {
        return (count * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage;
    }

    // How the elements are to start: as zeros, or as the memory is.
    enum class Start { Zeros, Anything };
    LargeBuffer(std::size_t count, Start start) : size_(count)
    {
        if (count == 0)
            return;
        const std::size_t bytes = count * sizeof(T);
        if (bytes >= kHugePage) {
#if defined(__linux__)
            if (start != Start::Zeros) {
                allocate(bytes);
                return;
            }
            // A huge page more than needed, trimmed to a huge page's boundary.
            const std::size_t rounded = mappedBytes(count);
            void* mapping = ::mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapping == MAP_FAILED)
                throw std::bad_alloc();
            const auto base = reinterpret_cast<std::uintptr_t>(mapping);
            const std::uintptr_t aligned = (base + kHugePage - 1) / kHugePage * kHugePage;
            if (aligned > base)
                ::munmap(mapping, aligned - base);
            if (base + kHugePage > aligned)
                ::munmap(reinterpret_cast<void*>(aligned + rounded), base + kHugePage - aligned);
            data_ = reinterpret_cast<T*>(aligned);
            mapped_ = true;
#if defined(MADV_HUGEPAGE)
            ::madvise(data_, rounded, MADV_HUGEPAGE);
#endif
            return;
#endif
        }
        (void)start;
        allocate(bytes);
    }

    void allocate(std::size_t bytes)
    {
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
    bool mapped_ = false;  // a mapping of its own (mappedBytes), which started as zeros
};
