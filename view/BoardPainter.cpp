#include "BoardPainter.h"

#include "CellBitmap.h"

#include <vector>

namespace {

// For each of `out` picture pixels, the cell whose span holds the pixel's
// centre: cell i covers [i * out / cells, (i + 1) * out / cells).
std::vector<std::int64_t> sampleMap(std::int64_t cells, int out)
{
    std::vector<std::int64_t> map(static_cast<std::size_t>(out));
    for (int p = 0; p < out; ++p) {
        const auto cell = static_cast<std::int64_t>((2 * std::int64_t{p} + 1) * cells / (2 * std::int64_t{out}));
        map[static_cast<std::size_t>(p)] = std::min(cell, cells - 1);
    }
    return map;
}

}  // namespace

QImage BoardPainter::render(const CellBitmap& board, QSize pixels)
{
    if (pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_Grayscale8);
    if (image.isNull())
        return {};
    const auto columns = sampleMap(board.pixelsWide(), pixels.width());
    const auto rows = sampleMap(board.pixelsHigh(), pixels.height());
    std::int64_t previousRow = -1;
    for (int y = 0; y < pixels.height(); ++y) {
        uchar* out = image.scanLine(y);
        const auto cellRow = rows[static_cast<std::size_t>(y)];
        if (cellRow == previousRow) {  // the same cells as the line above
            std::copy_n(image.constScanLine(y - 1), pixels.width(), out);
            continue;
        }
        previousRow = cellRow;
        const std::uint8_t* cells = board.row(cellRow);
        for (int x = 0; x < pixels.width(); ++x)
            out[x] = cells[columns[static_cast<std::size_t>(x)]];
    }
    return image;
}
