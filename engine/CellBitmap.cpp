#include "CellBitmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::uint64_t CellBitmap::cellsEqual(const std::uint8_t* cells, std::uint8_t value)
{
    std::uint64_t bits = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    for (int i = 0; i < 4; ++i) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + 16 * i));
        bits |= std::uint64_t(std::uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(sixteen, wanted)))) << (16 * i);
    }
#else
    for (int i = 0; i < 64; ++i)
        bits |= std::uint64_t(cells[i] == value) << i;
#endif
    return bits;
}

void CellBitmap::cellsOfBits(std::uint64_t bits, std::uint8_t* cells)
{
    // Each byte of bits becomes eight cells at once.
    static const auto kEightCells = [] {
        std::array<std::uint64_t, 256> eight{};
        for (unsigned b = 0; b < 256; ++b)
            for (unsigned i = 0; i < 8; ++i)
                eight[b] |= std::uint64_t((b >> i) & 1u ? kLive : kDead) << (8 * i);
        return eight;
    }();
    for (int i = 0; i < 8; ++i) {
        const std::uint64_t eight = kEightCells[(bits >> (8 * i)) & 0xffu];
        std::memcpy(cells + 8 * i, &eight, 8);
    }
}

bool CellBitmap::sizeFits(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxCells && height <= kMaxCells / width;
}

CellBitmap::CellBitmap(std::int64_t width, std::int64_t height, LogicalSize size)
    : width_(width), height_(height), size_(size),
      cells_(static_cast<std::size_t>(width * height), kDead)
{
}

CellBitmap::CellBitmap(std::int64_t width, std::int64_t height, const CellSource& source)
    : width_(width), height_(height), size_(), cells_(LargeBuffer<std::uint8_t>::untouched(std::size_t(width * height)))
{
    defer(&source);
}

CellBitmap::CellBitmap(const CellBitmap& other)
    : width_(other.width_), height_(other.height_), size_(other.size_), cells_((other.madeAll(), other.cells_))
{
}

std::unique_ptr<CellBitmap> CellBitmap::deferred(std::int64_t width, std::int64_t height, const CellSource& source)
{
    if (!sizeFits(width, height))
        return nullptr;
    try {
        return std::unique_ptr<CellBitmap>(new CellBitmap(width, height, source));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CellBitmap::defer(const CellSource* source)
{
    const auto bands = static_cast<std::size_t>((height_ + CellSource::kBandRows - 1) / CellSource::kBandRows);
    if (source && !made_)
        made_ = std::make_unique<std::atomic<bool>[]>(bands);
    for (std::size_t b = 0; source && b < bands; ++b)
        made_[b].store(false, std::memory_order_relaxed);
    source_ = source;
}

void CellBitmap::release(std::int64_t band)
{
#if defined(__linux__)
    constexpr std::uintptr_t kPage = 4096;
    const std::int64_t y0 = band * CellSource::kBandRows;
    const std::int64_t y1 = std::min(height_, y0 + CellSource::kBandRows);
    const auto begin = (reinterpret_cast<std::uintptr_t>(rawRow(y0)) + kPage - 1) / kPage * kPage;
    const auto end = reinterpret_cast<std::uintptr_t>(rawRow(y1 - 1) + width_) / kPage * kPage;
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
    if (made_)
        made_[static_cast<std::size_t>(band)].store(false, std::memory_order_relaxed);
#else
    (void)band;
#endif
}

void CellBitmap::make(std::int64_t band) const
{
    std::lock_guard lock(making_);
    auto& made = made_[static_cast<std::size_t>(band)];
    if (made.load(std::memory_order_relaxed))
        return;
    source_->writeBand(const_cast<CellBitmap&>(*this), band);
    made.store(true, std::memory_order_release);
}

void CellBitmap::madeAll() const
{
    for (std::int64_t y = 0; source_ && y < height_; y += CellSource::kBandRows)
        made(y);
}

std::unique_ptr<CellBitmap> CellBitmap::create(std::int64_t width, std::int64_t height, LogicalSize size)
{
    if (!sizeFits(width, height))
        return nullptr;
    try {
        return std::unique_ptr<CellBitmap>(new CellBitmap(width, height, size));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::int64_t CellBitmap::cellsForPoints(double points)
{
    const double cells = std::trunc(points / kPointsPerCell);
    if (!(cells >= 1.0))  // also catches NaN
        return 0;
    return cells >= static_cast<double>(kMaxCells) ? kMaxCells + 1 : static_cast<std::int64_t>(cells);
}

std::unique_ptr<CellBitmap> CellBitmap::random(double rectWidth, double rectHeight)
{
    auto board = create(cellsForPoints(rectWidth), cellsForPoints(rectHeight), {rectWidth, rectHeight});
    if (board)
        board->fillRandom();
    return board;
}

std::unique_ptr<CellBitmap> CellBitmap::copy() const
{
    try {
        return std::unique_ptr<CellBitmap>(new CellBitmap(*this));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CellBitmap::fillRandom()
{
    defer(nullptr);
    // Every cell takes one fresh bit from arc4random; the bits are drawn in
    // blocks so that a large board does not cost one call per cell.
    std::array<std::uint8_t, 4096> bits{};
    const std::size_t total = cells_.size();
    std::size_t done = 0;
    while (done < total) {
        const std::size_t n = std::min<std::size_t>(total - done, bits.size() * 8);
        ::arc4random_buf(bits.data(), (n + 7) / 8);
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned bit = (bits[i >> 3] >> (i & 7)) & 1u;
            cells_[done + i] = static_cast<std::uint8_t>(bit ? kDead : kLive);
        }
        done += n;
    }
}

void CellBitmap::fill(std::uint8_t value)
{
    defer(nullptr);
    std::fill(cells_.begin(), cells_.end(), value);
}

std::int64_t CellBitmap::liveCells() const
{
    madeAll();
    return std::count(cells_.begin(), cells_.end(), kLive);
}

bool CellBitmap::sameCells(const CellBitmap& other) const
{
    madeAll();
    other.madeAll();
    return width_ == other.width_ && height_ == other.height_ &&
           std::equal(cells_.begin(), cells_.end(), other.cells_.begin());
}
