#include "FloatingPaste.h"

#include "CellBitmap.h"

void FloatingPaste::start(const CellBitmap& pattern, QRect rect)
{
    size_ = rect.size();
    cells_ = Selection::cellsOf(pattern, rect);
    draw();
}

void FloatingPaste::turn(bool clockwise)
{
    const int w = size_.width(), h = size_.height();
    std::vector<std::uint8_t> turned(cells_.size());
    Selection::turnCells(cells_.data(), w, h, std::size_t(w), turned.data(), std::size_t(h), clockwise);
    cells_ = std::move(turned);
    size_.transpose();
    draw();
}

void FloatingPaste::flip(bool leftRight)
{
    const std::size_t w = std::size_t(size_.width()), h = std::size_t(size_.height());
    for (std::size_t y = 0; y < h; ++y)
        if (leftRight)
            std::reverse(cells_.begin() + std::ptrdiff_t(y * w), cells_.begin() + std::ptrdiff_t((y + 1) * w));
        else if (y < h / 2)
            std::swap_ranges(cells_.begin() + std::ptrdiff_t(y * w), cells_.begin() + std::ptrdiff_t((y + 1) * w),
                             cells_.begin() + std::ptrdiff_t((h - 1 - y) * w));
    draw();
}

void FloatingPaste::draw()
{
    picture_ = QImage(size_, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        const std::uint8_t* row = cells_.data() + std::size_t(y) * std::size_t(size_.width());
        for (int x = 0; x < size_.width(); ++x)
            line[x] = row[x] == CellBitmap::kLive ? qPremultiply(qRgba(0, 48, 160, 230)) : qPremultiply(qRgba(255, 255, 255, 110));
    }
}

std::optional<BlockChange> FloatingPaste::placeOn(const CellBitmap& board, QPoint at, PasteMode mode) const
{
    const QRect onBoard = QRect(at, size_).intersected(QRect(0, 0, int(board.pixelsWide()), int(board.pixelsHigh())));
    if (!active() || onBoard.isEmpty())
        return std::nullopt;
    BlockChange change;
    change.rect = onBoard;
    change.before = Selection::cellsOf(board, onBoard);
    change.after = change.before;
    for (int y = 0; y < onBoard.height(); ++y)
        for (int x = 0; x < onBoard.width(); ++x) {
            const std::uint8_t cell = cells_[std::size_t(onBoard.top() + y - at.y()) * std::size_t(size_.width()) +
                                             std::size_t(onBoard.left() + x - at.x())];
            std::uint8_t& under = change.after[std::size_t(y) * std::size_t(onBoard.width()) + std::size_t(x)];
            if (mode == PasteMode::Copy)
                under = cell;
            else if (cell == CellBitmap::kLive)
                under = mode == PasteMode::Or || under != CellBitmap::kLive ? CellBitmap::kLive : CellBitmap::kDead;
        }
    if (change.after == change.before)
        return std::nullopt;
    return change;
}
