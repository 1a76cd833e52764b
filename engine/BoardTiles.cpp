#include "BoardTiles.h"

#include <algorithm>

BoardTiles::BoardTiles(std::int64_t boardWidth, std::int64_t boardHeight)
    : wide_((boardWidth + kWidth - 1) / kWidth), high_((boardHeight + kHeight - 1) / kHeight)
{
    const auto n = static_cast<std::size_t>(count());
    live.assign(n, 0);
    grays.assign(n, 0);
    marks.assign(n, 0);
}

std::uint32_t BoardTiles::marksOfCell(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
{
    const bool left = x % kWidth == 0;
    const bool right = x % kWidth == kWidth - 1 || x == width - 1;
    const bool top = y % kHeight == 0;
    const bool bottom = y % kHeight == kHeight - 1 || y == height - 1;
    std::uint32_t m = kChanged;
    m |= top ? kTop : 0;
    m |= bottom ? kBottom : 0;
    m |= left ? kLeft : 0;
    m |= right ? kRight : 0;
    m |= top && left ? kTopLeft : 0;
    m |= top && right ? kTopRight : 0;
    m |= bottom && left ? kBottomLeft : 0;
    m |= bottom && right ? kBottomRight : 0;
    return m;
}

void BoardTiles::mark(std::int64_t tile, std::uint32_t bits)
{
    auto& m = marks[static_cast<std::size_t>(tile)];
    if (m == 0 && listed)
        marked.push_back(static_cast<std::uint32_t>(tile));
    m |= bits;
}

void BoardTiles::markInstalled()
{
    clearMarks();
    for (std::int64_t t = 0; t < count(); ++t) {
        const auto i = static_cast<std::size_t>(t);
        if (live[i] != 0 || grays[i] != 0)
            mark(t, kAllMarks);
    }
    installed = true;
}

void BoardTiles::clearMarks(bool rewritten)
{
    if (rewritten) {
        // the marks are left for the step to write
    } else if (listed) {
        for (auto t : marked)
            marks[t] = 0;
    } else {
        std::fill(marks.begin(), marks.end(), 0);
    }
    marked.clear();
    listed = true;
    installed = false;
}
