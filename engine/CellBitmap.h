#pragma once

#include "LargeBuffer.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

// A size in view points, carried beside the cell counts of a board.
struct LogicalSize {
    double width = 0.0;
    double height = 0.0;
    friend bool operator==(const LogicalSize&, const LogicalSize&) = default;
};

// One cell to set: column x, row y, and its new value.
struct CellEdit {
    std::int64_t x;
    std::int64_t y;
    std::uint8_t value;
};

class CellBitmap;

// Where the cells of a board come from while they are not written: the
// engine keeps a generation as its live bits (and the bytes of its gray
// cells only) and makes the other cells a band of rows at a time, the first
// time anyone reads them.
class CellSource {
public:
    static constexpr std::int64_t kBandRows = 64;
    virtual ~CellSource() = default;
    // Writes the cells of rows band * kBandRows on (to the board's last row)
    // into `cells` (through rawRow).
    virtual void writeBand(CellBitmap& cells, std::int64_t band) const = 0;
};

// The board: W by H cells, one unsigned byte per cell, rows stored top to
// bottom without padding. 0 is a live (black) cell, 255 a dead (white) one;
// gray values in between come only from images and pattern files and are
// kept exactly. A board has at least one column and one row.
class CellBitmap {
public:
    static constexpr std::uint8_t kLive = 0;
    static constexpr std::uint8_t kDead = 255;
    // Boards sized from the view give each cell 4 by 4 points.
    static constexpr double kPointsPerCell = 4.0;
    // The largest board the application holds: 16384 by 16384 cells (256 MiB).
    static constexpr std::int64_t kMaxCells = std::int64_t{1} << 28;

    // True when a board of width by height cells can exist: both at least 1
    // and no more than kMaxCells cells in all.
    static bool sizeFits(std::int64_t width, std::int64_t height);

    // A board of width by height cells, all dead. Null when the size does not
    // fit or the memory cannot be had.
    static std::unique_ptr<CellBitmap> create(std::int64_t width, std::int64_t height,
                                              LogicalSize size = {});

    // A random board sized from a rectangle of the view: width / 4 by
    // height / 4 cells, truncated, with the rectangle as its logical size.
    // Null when either count is below 1 (or over the limit).
    static std::unique_ptr<CellBitmap> random(double rectWidth, double rectHeight);

    // Cell counts for a rectangle at 4 points per cell, truncated toward zero.
    static std::int64_t cellsForPoints(double points);

    // Which of 64 cells from `cells` on hold `value`, as bits (bit i: cell i).
    static std::uint64_t cellsEqual(const std::uint8_t* cells, std::uint8_t value);
    // The other way: 64 cells from `cells` on, live where bit i is set, else dead.
    static void cellsOfBits(std::uint64_t bits, std::uint8_t* cells);

    std::int64_t pixelsWide() const { return width_; }
    std::int64_t pixelsHigh() const { return height_; }
    std::size_t cellCount() const { return cells_.size(); }

    LogicalSize size() const { return size_; }
    void setSize(LogicalSize size) { size_ = size; }

    // Per-cell access; the caller keeps x and y inside the board.
    std::uint8_t getPixel(std::int64_t x, std::int64_t y) const { return row(y)[x]; }
    void setPixel(std::int64_t x, std::int64_t y, std::uint8_t value) { row(y)[x] = value; }
    bool contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    const std::uint8_t* row(std::int64_t y) const
    {
        made(y);
        return rawRow(y);
    }
    std::uint8_t* row(std::int64_t y)
    {
        made(y);
        return rawRow(y);
    }
    const std::uint8_t* data() const
    {
        madeAll();
        return cells_.data();
    }
    std::uint8_t* data()
    {
        madeAll();
        return cells_.data();
    }

    // An independent board with its own cells, the same size and logical size.
    std::unique_ptr<CellBitmap> copy() const;
    CellBitmap(const CellBitmap& other);
    CellBitmap& operator=(const CellBitmap&) = delete;

    // A board whose cells are all made by `source` as they are first read.
    // Null when the size does not fit or the memory cannot be had; its
    // memory is only touched as cells are made.
    static std::unique_ptr<CellBitmap> deferred(std::int64_t width, std::int64_t height, const CellSource& source);
    // From now on the cells are made by `source` as they are first read
    // (each band once); null: the cells are as written. Only while no one
    // else reads the board.
    void defer(const CellSource* source);
    // Gives the memory of a band of rows (CellSource::kBandRows) back to the
    // system: its cells must be made again (defer) before they are read.
    void release(std::int64_t band);
    // Row y as it lies, made or not: for the source and the engine, which
    // write the cells.
    std::uint8_t* rawRow(std::int64_t y) { return cells_.data() + y * width_; }
    const std::uint8_t* rawRow(std::int64_t y) const { return cells_.data() + y * width_; }

    // Each cell from one fresh random bit of the system's random source:
    // 1 gives 255 (dead), 0 gives 0 (live).
    void fillRandom();
    void fill(std::uint8_t value);

    std::int64_t liveCells() const;

    // Same cell counts and cells; the logical size is not compared.
    bool sameCells(const CellBitmap& other) const;

private:
    CellBitmap(std::int64_t width, std::int64_t height, LogicalSize size);
    CellBitmap(std::int64_t width, std::int64_t height, const CellSource& source);
    // Row y's band made, or all of them.
    void made(std::int64_t y) const
    {
        if (source_ && !made_[static_cast<std::size_t>(y / CellSource::kBandRows)].load(std::memory_order_acquire))
            make(y / CellSource::kBandRows);
    }
    void madeAll() const;
    void make(std::int64_t band) const;

    std::int64_t width_;
    std::int64_t height_;
    LogicalSize size_;
    LargeBuffer<std::uint8_t> cells_;
    const CellSource* source_ = nullptr;
    mutable std::unique_ptr<std::atomic<bool>[]> made_;  // per band, while there is a source
    mutable std::mutex making_;
};
