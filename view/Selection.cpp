#include "Selection.h"

#include "CellBitmap.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

constexpr std::uint8_t kLive = 0;
constexpr std::uint8_t kDead = 255;

// Rounds down, for negative values too.
int halfDown(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

// The live ones among `n` cells (at most 64), as bits; none when one of them is gray.
std::optional<std::uint64_t> liveBits(const std::uint8_t* cells, int n)
{
    if (n == 64) {
        const std::uint64_t live = CellBitmap::cellsEqual(cells, kLive);
        return (live | CellBitmap::cellsEqual(cells, kDead)) == ~std::uint64_t{0} ? std::optional(live) : std::nullopt;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < n; ++i) {
        if (cells[i] != kLive && cells[i] != kDead)
            return std::nullopt;
        bits |= std::uint64_t(cells[i] == kLive) << i;
    }
    return bits;
}

// Cells `from` to 63 of a word of bits written from `out` on.
void writeCells(std::uint64_t bits, int from, std::uint8_t* out)
{
    std::uint8_t cells[64];
    CellBitmap::cellsOfBits(bits, cells);
    std::memcpy(out, cells + from, std::size_t(64 - from));
}

// A square of 64 by 64 bits turned over its diagonal: bit c of word r
// becomes bit r of word c.
void transpose(std::uint64_t (&m)[64])
{
    std::uint64_t mask = 0x00000000ffffffffULL;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
        for (int k = 0; k < 64; k = (k + j + 1) & ~j) {
            const std::uint64_t t = ((m[k] >> j) ^ m[k + j]) & mask;
            m[k] ^= t << j;
            m[k + j] ^= t;
        }
}

std::uint64_t reverseBits(std::uint64_t v)
{
    v = ((v >> 1) & 0x5555555555555555ULL) | ((v & 0x5555555555555555ULL) << 1);
    v = ((v >> 2) & 0x3333333333333333ULL) | ((v & 0x3333333333333333ULL) << 2);
    v = ((v >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((v & 0x0f0f0f0f0f0f0f0fULL) << 4);
    return __builtin_bswap64(v);
}

// Selection::turnCells for cells without gray ones: squares of 64 by 64
// cells as bits, each turned over its diagonal at once, then read back in
// the turn's order. False, and the turned cells left unfinished, when a
// cell is gray.
bool turnLiveBits(const std::uint8_t* in, int w, int h, std::size_t inStride, std::uint8_t* out,
                  std::size_t outStride, bool clockwise)
{
    std::uint64_t m[64];
    for (int by = 0; by < h; by += 64) {
        const int rows = std::min(64, h - by);
        for (int bx = 0; bx < w; bx += 64) {
            const int columns = std::min(64, w - bx);
            for (int r = 0; r < 64; ++r) {
                const auto bits = r < rows ? liveBits(in + std::size_t(by + r) * inStride + std::size_t(bx), columns)
                                           : std::optional<std::uint64_t>(0);
                if (!bits)
                    return false;
                m[r] = *bits;
            }
            transpose(m);  // word c: source column bx + c, bit r its row by + r
            for (int c = 0; c < columns; ++c) {
                if (clockwise) {
                    // The turned row bx + c, from the source's bottom row: bit r to column h - 1 - by - r.
                    const int base = h - 64 - by;
                    writeCells(reverseBits(m[c]), std::max(0, -base),
                               out + std::size_t(bx + c) * outStride + std::size_t(std::max(0, base)));
                } else {
                    // The turned row w - 1 - bx - c, bit r to column by + r.
                    std::uint8_t* row = out + std::size_t(w - 1 - bx - c) * outStride + std::size_t(by);
                    if (rows == 64) {
                        writeCells(m[c], 0, row);
                    } else {
                        std::uint8_t cells[64];
                        writeCells(m[c], 0, cells);
                        std::memcpy(row, cells, std::size_t(rows));
                    }
                }
            }
        }
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> Selection::cellsOf(const CellBitmap& board, QRect rect)
{
    std::vector<std::uint8_t> cells(std::size_t(rect.width()) * std::size_t(rect.height()));
    for (int y = 0; y < rect.height(); ++y)
        std::memcpy(cells.data() + std::size_t(y) * std::size_t(rect.width()), board.row(rect.top() + y) + rect.left(),
                    std::size_t(rect.width()));
    return cells;
}

void Selection::span(QPoint from, QPoint to, QSize board)
{
    setRect(QRect(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                  QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y()))),
            board);
}

void Selection::shrink(const CellBitmap& board)
{
    int left = rect_.right() + 1, right = rect_.left() - 1, top = rect_.bottom() + 1, bottom = rect_.top() - 1;
    for (int y = rect_.top(); y <= rect_.bottom(); ++y) {
        const std::uint8_t* row = board.row(y);
        for (int x = rect_.left(); x <= rect_.right(); ++x) {
            if (row[x] != kLive)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    rect_ = left <= right ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();
}

std::optional<BlockChange> Selection::apply(Command command, const CellBitmap& board, QString* refusal, double density,
                                            std::uint64_t seed)
{
    if (isEmpty())
        return std::nullopt;
    if (command == Command::RotateClockwise || command == Command::RotateAnticlockwise)
        return turn(command == Command::RotateClockwise, board, refusal);
    const QRect whole(0, 0, int(board.pixelsWide()), int(board.pixelsHigh()));
    BlockChange change;
    change.rect = command == Command::ClearOutside ? whole : rect_;
    change.before = cellsOf(board, change.rect);
    change.after = change.before;
    auto& cells = change.after;
    const int w = change.rect.width(), h = change.rect.height();
    auto at = [&](int x, int y) -> std::uint8_t& { return cells[std::size_t(y) * std::size_t(w) + std::size_t(x)]; };
    switch (command) {
    case Command::Clear: std::fill(cells.begin(), cells.end(), kDead); break;
    case Command::Fill: std::fill(cells.begin(), cells.end(), kLive); break;
    case Command::ClearOutside:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!rect_.contains(x, y))
                    at(x, y) = kDead;
        break;
    case Command::RandomFill: {
        std::mt19937_64 random(seed);
        std::bernoulli_distribution live(std::clamp(density, 0.0, 1.0));
        for (auto& cell : cells)
            cell = live(random) ? kLive : kDead;
        break;
    }
    case Command::FlipLeftRight:
        for (int y = 0; y < h; ++y)
            std::reverse(&at(0, y), &at(0, y) + w);
        break;
    case Command::FlipTopBottom:
        for (int y = 0; y < h / 2; ++y)
            std::swap_ranges(&at(0, y), &at(0, y) + w, &at(0, h - 1 - y));
        break;
    default: break;
    }
    if (change.after == change.before)
        return std::nullopt;
    return change;
}

void Selection::turnCells(const std::uint8_t* in, int w, int h, std::size_t inStride, std::uint8_t* out,
                          std::size_t outStride, bool clockwise)
{
    if (turnLiveBits(in, w, h, inStride, out, outStride, clockwise))
        return;
    // Row by row of the turned cells: clockwise, the top row is the left
    // column read bottom up; anticlockwise, the right column read top down.
    // In squares of 64 by 64 cells, so that reads and writes stay in cache.
    constexpr int kBlock = 64;
    for (int by = 0; by < w; by += kBlock)
        for (int bx = 0; bx < h; bx += kBlock)
            for (int ty = by; ty < std::min(w, by + kBlock); ++ty) {
                std::uint8_t* row = out + std::size_t(ty) * outStride;
                const int x = clockwise ? ty : w - 1 - ty;
                for (int tx = bx; tx < std::min(h, bx + kBlock); ++tx) {
                    const int y = clockwise ? h - 1 - tx : tx;
                    row[tx] = in[std::size_t(y) * inStride + std::size_t(x)];
                }
            }
}

// The rectangle turns about its centre (to the nearest cell): a square stays
// where it is, any other may reach past the board, and is then refused.
std::optional<BlockChange> Selection::turn(bool clockwise, const CellBitmap& board, QString* refusal)
{
    const QRect from = rect_;
    const int w = from.width(), h = from.height();
    const QRect to(from.left() + halfDown(w - h), from.top() + halfDown(h - w), h, w);
    const QRect whole(0, 0, int(board.pixelsWide()), int(board.pixelsHigh()));
    if (!whole.contains(to)) {
        if (refusal)
            *refusal = QCoreApplication::translate(
                "Selection", "The selection cannot be turned here: turned about its centre, it would reach past the "
                             "edge of the board.");
        return std::nullopt;
    }
    BlockChange change;
    change.rect = from.united(to);
    change.before = cellsOf(board, change.rect);
    change.after.assign(change.before.size(), kDead);
    const int uw = change.rect.width();
    auto index = [&](QPoint p) {
        return std::size_t(p.y() - change.rect.top()) * std::size_t(uw) + std::size_t(p.x() - change.rect.left());
    };
    // Outside both rectangles (the corners of their union) the old cells stay.
    if (change.rect != from && change.rect != to)
        for (int y = change.rect.top(); y <= change.rect.bottom(); ++y)
            for (int x = change.rect.left(); x <= change.rect.right(); ++x)
                if (!to.contains(x, y) && !from.contains(x, y))
                    change.after[index({x, y})] = change.before[index({x, y})];
    turnCells(change.before.data() + index(from.topLeft()), w, h, std::size_t(uw),
              change.after.data() + index(to.topLeft()), std::size_t(uw), clockwise);
    rect_ = to;
    if (change.after == change.before)
        return std::nullopt;
    return change;
}
