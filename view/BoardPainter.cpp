#include "BoardPainter.h"

#include "BoardViewport.h"
#include "CellBitmap.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

// What one direction of the picture shows: for each pixel from `first`, the
// cell there, and whether it is the first pixel of a cell that follows
// another (where a grid line goes: between cells, not at the board's edges).
struct Samples {
    int first = 0;
    std::vector<std::int64_t> cells;
    std::vector<char> begins;
};

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

}  // namespace

std::uint8_t BoardPainter::onGridLine(std::uint8_t value)
{
    return kGridLine[value];
}

BoardPicture BoardPainter::render(const CellBitmap& board, const BoardViewport& viewport)
{
    const QSize pixels = viewport.pixels();
    const Samples columns = sample(pixels.width(), [&](std::int64_t p) { return viewport.columnAt(p); });
    const Samples rows = sample(pixels.height(), [&](std::int64_t p) { return viewport.rowAt(p); });
    const int width = int(columns.cells.size());
    const int height = int(rows.cells.size());
    if (width == 0 || height == 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
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
