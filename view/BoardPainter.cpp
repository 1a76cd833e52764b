#include "BoardPainter.h"

#include "BoardViewport.h"
#include "CellBitmap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// What one direction of the picture shows: for each pixel from `first`, the
// cell there, and whether it is the first pixel of a cell that follows
// another (where a grid line goes: between cells, not at the board's edges).
// Where cells are smaller than pixels, also the cells under each pixel:
// those from `from[i]` to `to[i]`, the cell there among them (else that
// cell alone).
struct Samples {
    int first = 0;
    std::vector<std::int64_t> cells;
    std::vector<char> begins;
    std::vector<std::int64_t> from;
    std::vector<std::int64_t> to;
    bool several = false;  // some pixel lies over more than one cell
};

// Only where more cells are shown than there are pixels across: cells at
// least a pixel wide each hold the centre of some pixel, and are drawn.
template <class CellFrom>
void spans(Samples& s, CellFrom cellFrom)
{
    const std::size_t n = s.cells.size();
    s.several = n > 0 && std::size_t(s.cells.back() - s.cells.front() + 1) > n;
    s.from = s.cells;
    s.to.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        s.to[i] = s.cells[i] + 1;
    if (!s.several)
        return;
    std::int64_t begin = cellFrom(s.first);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t end = cellFrom(s.first + std::int64_t(i) + 1);
        s.from[i] = std::min(begin, s.cells[i]);
        s.to[i] = std::max(end, s.cells[i] + 1);
        begin = end;
    }
}

template <class CellAt>
Samples sample(int pixels, CellAt cellAt)
{
    Samples s;
    int first = 0;
    while (first < pixels && cellAt(first) < 0)
        ++first;
    int end = first;
    while (end < pixels && cellAt(end) >= 0)
        ++end;
    s.first = first;
    s.cells.resize(static_cast<std::size_t>(end - first));
    s.begins.resize(s.cells.size());
    std::int64_t before = cellAt(first - 1);
    for (int p = first; p < end; ++p) {
        const std::int64_t cell = cellAt(p);
        s.cells[static_cast<std::size_t>(p - first)] = cell;
        s.begins[static_cast<std::size_t>(p - first)] = cell != before && before >= 0;
        before = cell;
    }
    return s;
}

const std::array<std::uint8_t, 256> kGridLine = [] {
    std::array<std::uint8_t, 256> line{};
    for (int v = 0; v < 256; ++v)
        line[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v + (128 - v) / 4);
    return line;
}();

const std::array<QRgb, 256> kRgb = [] {
    std::array<QRgb, 256> rgb{};
    for (int v = 0; v < 256; ++v)
        rgb[static_cast<std::size_t>(v)] = qRgb(v, v, v);
    return rgb;
}();

// Whether one of the `count` cells from `cells` is live; whole words of
// eight are read, so at least that many cells must follow. Without a branch
// that depends on the cells (they are often random): a word has a zero byte
// among its lowest n when the classic zero-byte test marks one there (a
// borrow only ever marks bytes above a zero byte).
bool anyLive(const std::uint8_t* cells, std::int64_t count)
{
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highs = 0x8080808080808080u;
    std::uint64_t found = 0;
    for (; count > 0; cells += 8, count -= 8) {
        std::uint64_t word;
        std::memcpy(&word, cells, 8);
        const std::uint64_t lowest = count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
        found |= (word - ones) & ~word & highs & lowest;
    }
    return found != 0;
}

// Each pixel over several cells: black when one of them is live, else the
// gray of the cell at its centre. The row of that cell is looked at first,
// which settles most pixels of a busy board; the other rows under the pixel
// only when it has no live cell there, and only those with a live cell
// among the columns shown.
void renderSeveral(QImage& image, const CellBitmap& board, const Samples& columns, const Samples& rows)
{
    static_assert(std::endian::native == std::endian::little, "the zero-byte test reads the lowest bytes first");
    const int width = image.width();
    const std::int64_t left = columns.from.front();
    const auto shown = static_cast<std::size_t>(columns.to.back() - left);
    const std::uint8_t* storageEnd = board.data() + board.cellCount();
    // The columns shown of a row, with room after them for whole words: in
    // the board, or for its last row, in a copy.
    std::vector<std::uint8_t> lastRow(shown + 8, CellBitmap::kDead);
    auto shownOf = [&](std::int64_t r) {
        const std::uint8_t* cells = board.row(r) + left;
        if (cells + shown + 8 <= storageEnd)
            return cells;
        std::memcpy(lastRow.data(), cells, shown);
        return static_cast<const std::uint8_t*>(lastRow.data());
    };
    // Each pixel's cells from the first shown, and the cell at its centre.
    // Up to 8 cells are one word, read under a mask of their bytes.
    struct Span {
        std::int64_t from;
        std::int64_t count;
        std::int64_t centre;
        std::uint64_t bytes;
    };
    std::vector<Span> spans(static_cast<std::size_t>(width));
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::int64_t count = columns.to[i] - columns.from[i];
        spans[i] = {columns.from[i] - left, count, columns.cells[i] - left,
                    count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1};
    }
    const auto liveIn = [](const std::uint8_t* cells, const Span& span) {
        if (span.count > 8)
            return anyLive(cells + span.from, span.count);
        std::uint64_t word;
        std::memcpy(&word, cells + span.from, 8);
        return ((word - 0x0101010101010101u) & ~word & 0x8080808080808080u & span.bytes) != 0;
    };
    std::vector<const std::uint8_t*> others;  // the other rows under a pixel row with a live cell shown
    for (int y = 0; y < image.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto at = static_cast<std::size_t>(y);
        others.clear();
        for (std::int64_t r = rows.from[at]; r < rows.to[at]; ++r) {
            if (r != rows.cells[at] && std::memchr(board.row(r) + left, CellBitmap::kLive, shown))
                others.push_back(shownOf(r));
        }
        const std::uint8_t* sampled = shownOf(rows.cells[at]);
        for (const Span& span : spans) {
            bool black = liveIn(sampled, span);
            if (!black) {
                for (const std::uint8_t* row : others) {
                    if (liveIn(row, span)) {
                        black = true;
                        break;
                    }
                }
            }
            *out++ = kRgb[black ? CellBitmap::kLive : sampled[span.centre]];
        }
    }
}

}  // namespace

std::uint8_t BoardPainter::onGridLine(std::uint8_t value)
{
    return kGridLine[value];
}

BoardPicture BoardPainter::render(const CellBitmap& board, const BoardViewport& viewport)
{
    const QSize pixels = viewport.pixels();
    Samples columns = sample(pixels.width(), [&](std::int64_t p) { return viewport.columnAt(p); });
    Samples rows = sample(pixels.height(), [&](std::int64_t p) { return viewport.rowAt(p); });
    const int width = int(columns.cells.size());
    const int height = int(rows.cells.size());
    if (width == 0 || height == 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    spans(columns, [&](std::int64_t p) { return viewport.columnFrom(p); });
    spans(rows, [&](std::int64_t p) { return viewport.rowFrom(p); });
    if (columns.several || rows.several) {
        renderSeveral(image, board, columns, rows);
        return {image, QPoint(columns.first, rows.first)};
    }
    const bool grid = viewport.showsGrid();
    std::vector<int> lines;  // the columns of pixels on a grid line
    if (grid) {
        for (int x = 0; x < width; ++x)
            if (columns.begins[static_cast<std::size_t>(x)])
                lines.push_back(x);
    }
    std::int64_t previousRow = -1;
    bool previousPlain = false;  // the line above holds this cell row's cells, no row line over them
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto cellRow = rows.cells[static_cast<std::size_t>(y)];
        if (cellRow == previousRow && previousPlain) {
            std::memcpy(out, image.constScanLine(y - 1), static_cast<std::size_t>(width) * 4);
        } else {
            const std::uint8_t* cells = board.row(cellRow);
            for (int x = 0; x < width; ++x)
                out[x] = kRgb[cells[columns.cells[static_cast<std::size_t>(x)]]];
            for (int x : lines)
                out[x] = kRgb[kGridLine[qBlue(out[x])]];
        }
        previousRow = cellRow;
        previousPlain = !(grid && rows.begins[static_cast<std::size_t>(y)]);
        if (!previousPlain) {
            for (int x = 0; x < width; ++x)
                out[x] = kRgb[kGridLine[qBlue(out[x])]];
        }
    }
    return {image, QPoint(columns.first, rows.first)};
}
