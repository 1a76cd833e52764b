#include "LifeRule.h"

#include "CellBitmap.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// One row of the next generation. `up` and `down` are the neighbouring rows,
// or a row of dead cells beyond the top and bottom edges. `sums` holds W + 2
// bytes: the live count of each column of the three rows, with a dead column
// on either side for the left and right edges. Both loops are branch-free
// over whole rows so that the compiler turns them into vector code; the
// clones give a wider vector unit where the processor has one.
#if GOL_VECTOR_CLONES
__attribute__((target_clones("avx2", "default")))
#endif
void stepRow(const std::uint8_t* __restrict up, const std::uint8_t* __restrict cur,
             const std::uint8_t* __restrict down, std::uint8_t* __restrict out,
             std::uint8_t* __restrict sums, std::int64_t width)
{
    std::uint8_t* col = sums + 1;
    for (std::int64_t x = 0; x < width; ++x) {
        col[x] = static_cast<std::uint8_t>((up[x] == 0) + (cur[x] == 0) + (down[x] == 0));
    }
    for (std::int64_t x = 0; x < width; ++x) {
        const std::uint8_t self = cur[x];
        const auto n = static_cast<std::uint8_t>(sums[x] + sums[x + 1] + sums[x + 2] - (self == 0));
        const auto keep = static_cast<std::uint8_t>(-(n == 2));
        const auto born = static_cast<std::uint8_t>(-(n == 3));
        out[x] = static_cast<std::uint8_t>((self & keep) | (0xFF & ~(keep | born)));
    }
}

}  // namespace

bool LifeRule::stepRows(const std::uint8_t* src, std::uint8_t* dst, std::int64_t width,
                        std::int64_t height, std::int64_t rowBegin, std::int64_t rowEnd,
                        std::stop_token stop)
{
    if (width <= 0 || height <= 0)
        return !stop.stop_requested();
    const auto w = static_cast<std::size_t>(width);
    std::vector<std::uint8_t> dead(w, CellBitmap::kDead);
    std::vector<std::uint8_t> sums(w + 2, 0);
    for (std::int64_t y = rowBegin; y < rowEnd; ++y) {
        if (stop.stop_requested())
            return false;
        const std::uint8_t* cur = src + y * width;
        const std::uint8_t* up = y > 0 ? cur - width : dead.data();
        const std::uint8_t* down = y + 1 < height ? cur + width : dead.data();
        stepRow(up, cur, down, dst + y * width, sums.data(), width);
    }
    return !stop.stop_requested();
}

bool LifeRule::step(const CellBitmap& src, CellBitmap& dst, std::stop_token stop, unsigned threads)
{
    const std::int64_t width = src.pixelsWide();
    const std::int64_t height = src.pixelsHigh();
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    const auto cells = width * height;
    const std::int64_t parts = cells >= kParallelCells ? std::min<std::int64_t>(threads, height) : 1;
    if (parts <= 1)
        return stepRows(src.data(), dst.data(), width, height, 0, height, stop);

    // Split the rows into bands; this thread takes the first band itself.
    std::vector<char> ok(static_cast<std::size_t>(parts), 0);
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(parts - 1));
    auto band = [&](std::int64_t i) {
        const std::int64_t begin = height * i / parts;
        const std::int64_t end = height * (i + 1) / parts;
        ok[static_cast<std::size_t>(i)] = stepRows(src.data(), dst.data(), width, height, begin, end, stop);
    };
    for (std::int64_t i = 1; i < parts; ++i)
        helpers.emplace_back(band, i);
    band(0);
    helpers.clear();  // joins
    return std::all_of(ok.begin(), ok.end(), [](char c) { return c != 0; }) && !stop.stop_requested();
}
