#include "RandomCells.h"

#include <algorithm>
#include <cstdlib>

std::unique_ptr<CellBitmap> RandomCells::board(std::int64_t width, std::int64_t height, LogicalSize size) const
{
    auto board = CellBitmap::deferred(width, height, *this);
    if (board)
        board->setSize(size);
    return board;
}

std::uint64_t RandomCells::next() const
{
    if (seed_)
        return generator_();
    if (used_ == drawn_.size()) {
        ::arc4random_buf(drawn_.data(), sizeof drawn_);
        used_ = 0;
    }
    return drawn_[used_++];
}

void RandomCells::writeBand(CellBitmap& cells, std::int64_t band) const
{
    const std::int64_t y0 = band * kBandRows;
    const std::int64_t y1 = std::min(cells.pixelsHigh(), y0 + kBandRows);
    // Live below this draw (2^64 / 100 per percent); at 100, every cell.
    const std::uint64_t below = std::uint64_t(density_) * (~std::uint64_t(0) / 100);
    for (std::int64_t y = y0; y < y1; ++y) {
        std::uint8_t* row = cells.rawRow(y);
        for (std::int64_t x = 0; density_ != 50 && x < cells.pixelsWide(); ++x)
            row[x] = density_ == 100 || next() < below ? CellBitmap::kLive : CellBitmap::kDead;
        for (std::int64_t x = 0; density_ == 50 && x < cells.pixelsWide(); ++x) {
            if (left_ == 0) {
                bits_ = next();
                left_ = 64;
            }
            row[x] = (bits_ & 1u) ? CellBitmap::kDead : CellBitmap::kLive;
            bits_ >>= 1;
            --left_;
        }
    }
}
