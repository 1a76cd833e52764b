#include "BoardPainter.h"

#include "BoardViewport.h"
#include "CellBitmap.h"
#include "LiveBits.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// Eight pixels from eight bits, black where a bit is set.
const std::array<std::array<QRgb, 8>, 256> kEightPixels = [] {
    std::array<std::array<QRgb, 8>, 256> eight{};
    for (std::size_t b = 0; b < 256; ++b)
        for (std::size_t i = 0; i < 8; ++i)
            eight[b][i] = ((b >> i) & 1u) ? kRgb[CellBitmap::kLive] : kRgb[CellBitmap::kDead];
    return eight;
}();

// The bits of `bits` where `mask` is set, packed from bit 0 on.
std::uint64_t extract(std::uint64_t bits, std::uint64_t mask)
{
    std::uint64_t packed = 0;
    int i = 0;
    for (; mask != 0; mask &= mask - 1, ++i)
        packed |= ((bits >> __builtin_ctzll(mask)) & 1u) << i;
    return packed;
}

#if defined(__x86_64__)
__attribute__((target("bmi2"))) std::uint64_t extractBmi2(std::uint64_t bits, std::uint64_t mask)
{
    return _pext_u64(bits, mask);
}
bool hasBmi2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("bmi2") != 0;
    }();
    return has;
}
#else
std::uint64_t extractBmi2(std::uint64_t bits, std::uint64_t mask) { return extract(bits, mask); }
bool hasBmi2() { return false; }
#endif

// Whether the pixels' columns follow one another without overlap (each
// pixel over at least one column of its own).
bool partitioned(const Samples& columns)
{
    for (std::size_t i = 0; i < columns.from.size(); ++i)
        if (columns.to[i] <= columns.from[i] || (i > 0 && columns.from[i] != columns.to[i - 1]))
            return false;
    return true;
}

// The pixels of a board without gray cells, from the folded bits of each
// pixel row (`strips` words a row, from column `origin`): a run of columns
// holds a live cell when adding ones to all but its last column carries into
// its last one or that one is live, a few operations a word for all the
// pixels in it; each pixel then takes its run's last bit.
void renderRuns(QImage& image, const std::vector<std::uint64_t>& foldedAll, const Samples& columns,
                std::int64_t origin, std::size_t strips)
{
    std::vector<std::uint64_t> lastOfRun(strips), inRun(strips);
    for (std::size_t i = 0; i < columns.from.size(); ++i) {
        const std::int64_t last = columns.to[i] - 1 - origin;
        lastOfRun[std::size_t(last / 64)] |= std::uint64_t{1} << (last % 64);
        for (std::int64_t c = columns.from[i] - origin; c <= last; ++c)
            inRun[std::size_t(c / 64)] |= std::uint64_t{1} << (c % 64);
    }
    std::vector<std::size_t> runs(strips);  // the pixels that end in each strip
    for (std::size_t s = 0; s < strips; ++s)
        runs[s] = std::size_t(std::bitset<64>(lastOfRun[s]).count());
    // The pixels of a row as bits, then written eight at a time.
    const auto pixels = static_cast<std::size_t>(image.width());
    std::vector<std::uint64_t> rowBits(pixels / 64 + 2);
    const bool bmi2 = hasBmi2();
    for (int y = 0; y < image.height(); ++y) {
        const std::uint64_t* folded = foldedAll.data() + std::size_t(y) * strips;
        std::fill(rowBits.begin(), rowBits.end(), 0);
        std::size_t at = 0;
        unsigned carry = 0;
        for (std::size_t s = 0; s < strips; ++s) {
            const std::uint64_t lower = inRun[s] & ~lastOfRun[s];
            const std::uint64_t w = folded[s] & inRun[s];
            std::uint64_t sum = 0;
            const bool over = __builtin_add_overflow(w & lower, lower, &sum);
            const bool overAgain = __builtin_add_overflow(sum, std::uint64_t{carry}, &sum);
            carry = over || overAgain ? 1u : 0u;
            const std::uint64_t live = (sum | w) & lastOfRun[s];
            const std::uint64_t bits = bmi2 ? extractBmi2(live, lastOfRun[s]) : extract(live, lastOfRun[s]);
            rowBits[at / 64] |= bits << (at % 64);
            if (at % 64 != 0)
                rowBits[at / 64 + 1] |= bits >> (64 - at % 64);
            at += runs[s];
        }
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::size_t x = 0;
        for (; x + 8 <= pixels; x += 8)
            std::memcpy(out + x, kEightPixels[std::uint8_t(rowBits[x / 64] >> (x % 64))].data(), 8 * sizeof(QRgb));
        if (x < pixels)
            std::memcpy(out + x, kEightPixels[std::uint8_t(rowBits[x / 64] >> (x % 64))].data(),
                        (pixels - x) * sizeof(QRgb));
    }
}

// Each pixel over several cells: black when one of them is live, else the
// gray of the cell at its centre. The live bits of the cell rows under a
// pixel row are first folded into one word a strip, which reads each word of
// the board's bits once however far it is zoomed out; each pixel then tests
// its columns' bits in those words, and reads one byte for its gray.
void renderSeveral(QImage& image, const CellBitmap& board, const LiveBits& live, bool grays, const Samples& columns,
                   const Samples& rows)
{
    constexpr std::int64_t kStrip = LiveBits::kStripWidth;
    const std::int64_t firstStrip = columns.from.front() / kStrip;
    const std::int64_t strips = (columns.to.back() - 1) / kStrip - firstStrip + 1;
    const auto ones = ~std::uint64_t{0};
    // A pixel's columns in its first strip (relative to the first shown);
    // those that go on into later strips are also among `wide`.
    struct Span {
        std::uint32_t strip;
        std::uint32_t centre;
        std::uint64_t mask;
    };
    struct Wide {
        std::size_t pixel;
        std::int64_t last;    // the last strip, relative to the first shown
        std::uint64_t tail;   // the columns in it
    };
    std::vector<Span> spans(columns.cells.size());
    std::vector<Wide> wide;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const std::int64_t from = columns.from[i];
        const std::int64_t to = columns.to[i] - 1;  // the last column, included
        const std::int64_t first = from / kStrip - firstStrip;
        const std::int64_t last = to / kStrip - firstStrip;
        const std::uint64_t tail = to % kStrip == kStrip - 1 ? ones : (std::uint64_t{1} << (to % kStrip + 1)) - 1;
        const std::uint64_t head = ones << (from % kStrip);
        spans[i] = {std::uint32_t(first), std::uint32_t(columns.cells[i]), first == last ? head & tail : head};
        if (first != last)
            wide.push_back({i, last, tail});
    }
    // Folded strip by strip, in the order the bits lie in memory.
    const auto height = static_cast<std::size_t>(image.height());
    std::vector<std::uint64_t> foldedAll(height * static_cast<std::size_t>(strips));
    for (std::int64_t s = 0; s < strips; ++s) {
        const std::uint64_t* words = live.strip(firstStrip + s);
        for (std::size_t y = 0; y < height; ++y) {
            std::uint64_t any = 0;
            for (std::int64_t r = rows.from[y]; r < rows.to[y]; ++r)
                any |= words[r];
            foldedAll[y * static_cast<std::size_t>(strips) + static_cast<std::size_t>(s)] = any;
        }
    }
    if (!grays && partitioned(columns)) {
        renderRuns(image, foldedAll, columns, firstStrip * kStrip, std::size_t(strips));
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto at = static_cast<std::size_t>(y);
        const std::uint64_t* folded = foldedAll.data() + at * static_cast<std::size_t>(strips);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (grays) {
            const std::uint8_t* sampled = board.row(rows.cells[at]);
            for (const Span& span : spans)
                *out++ = kRgb[(folded[span.strip] & span.mask) != 0 ? CellBitmap::kLive : sampled[span.centre]];
        } else {
            for (const Span& span : spans)
                *out++ = (folded[span.strip] & span.mask) != 0 ? kRgb[CellBitmap::kLive] : kRgb[CellBitmap::kDead];
        }
        out -= spans.size();
        for (const Wide& w : wide) {
            std::uint64_t found = folded[w.last] & w.tail;
            for (auto s = std::int64_t(spans[w.pixel].strip) + 1; s < w.last; ++s)
                found |= folded[s];
            if (found != 0)
                out[w.pixel] = kRgb[CellBitmap::kLive];
        }
    }
}

}  // namespace

std::uint8_t BoardPainter::onGridLine(std::uint8_t value)
{
    return kGridLine[value];
}

BoardPicture BoardPainter::render(const CellBitmap& board, const LiveBits& live, bool grays,
                                  const BoardViewport& viewport)
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
        renderSeveral(image, board, live, grays, columns, rows);
        return {image, QPoint(columns.first, rows.first)};
    }
    const bool grid = viewport.showsGrid();
    std::vector<int> lines;  // the columns of pixels on a grid line
    if (grid) {
        for (int x = 0; x < width; ++x)
            if (columns.begins[static_cast<std::size_t>(x)])
                lines.push_back(x);
    }
    // Without gray cells, the cells shown of a row are made from its bits, a
    // word at a time (indexed as the board's row would be).
    const std::int64_t firstColumn = columns.cells.front();
    std::vector<std::uint8_t> shownCells(static_cast<std::size_t>(columns.cells.back() - firstColumn + 1));
    auto fromBits = [&](std::int64_t cellRow) {
        constexpr std::int64_t kStrip = LiveBits::kStripWidth;
        for (std::size_t i = 0; i < shownCells.size();) {
            const std::int64_t column = firstColumn + std::int64_t(i);
            const auto offset = static_cast<unsigned>(column % kStrip);
            const std::uint64_t word = live.strip(column / kStrip)[cellRow] >> offset;
            const std::size_t n = std::min(shownCells.size() - i, std::size_t(kStrip - offset));
            static_assert(CellBitmap::kLive == 0 && CellBitmap::kDead == 255);
            for (std::size_t k = 0; k < n; ++k)  // a set bit (live) gives 0, a clear one 255 (dead)
                shownCells[i + k] = static_cast<std::uint8_t>(((word >> k) & 1u) - 1u);
            i += n;
        }
        return shownCells.data() - firstColumn;
    };
    // Each cell row shown is worked out once, with its column lines, into
    // `plain`; its pixel rows are copies of it, but for the one on a row
    // line, which is drawn over it.
    std::vector<QRgb> plain(static_cast<std::size_t>(width));
    std::int64_t plainRow = -1;
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto cellRow = rows.cells[static_cast<std::size_t>(y)];
        if (cellRow != plainRow) {
            const std::uint8_t* cells = grays ? board.row(cellRow) : fromBits(cellRow);
            for (int x = 0; x < width; ++x)
                plain[static_cast<std::size_t>(x)] = kRgb[cells[columns.cells[static_cast<std::size_t>(x)]]];
            for (int x : lines)
                plain[static_cast<std::size_t>(x)] = kRgb[kGridLine[qBlue(plain[static_cast<std::size_t>(x)])]];
            plainRow = cellRow;
        }
        if (grid && rows.begins[static_cast<std::size_t>(y)]) {
            for (int x = 0; x < width; ++x)
                out[x] = kRgb[kGridLine[qBlue(plain[static_cast<std::size_t>(x)])]];
        } else {
            std::memcpy(out, plain.data(), static_cast<std::size_t>(width) * sizeof(QRgb));
        }
    }
    return {image, QPoint(columns.first, rows.first)};
}
