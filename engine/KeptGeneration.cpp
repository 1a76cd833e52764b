#include "KeptGeneration.h"

#include "CellBitmap.h"
#include "Generation.h"
#include "WorkerPool.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <numeric>

namespace {

std::uint64_t grayCount(const Generation& g)
{
    return std::accumulate(g.tiles.grays.begin(), g.tiles.grays.end(), std::uint64_t{0});
}

std::shared_ptr<const std::vector<KeptGray>> graysOf(const CellBitmap& board, const KeptGeneration* before,
                                                     std::uint64_t count)
{
    if (count == 0)
        return nullptr;
    if (before && before->grays && before->width == board.pixelsWide() && before->height == board.pixelsHigh()) {
        if (before->grays->size() == count)
            return before->grays;
        auto still = std::make_shared<std::vector<KeptGray>>();
        still->reserve(count);
        for (const KeptGray& g : *before->grays) {
            if (board.data()[g.index] == g.value)
                still->push_back(g);
        }
        return still;
    }
    auto all = std::make_shared<std::vector<KeptGray>>();
    all->reserve(count);
    const std::uint8_t* cells = board.data();
    const auto size = std::uint64_t(board.pixelsWide()) * std::uint64_t(board.pixelsHigh());
    for (std::uint64_t i = 0; i < size; ++i) {
        if (cells[i] != CellBitmap::kLive && cells[i] != CellBitmap::kDead)
            all->push_back({i, cells[i]});
    }
    return all;
}

}  // namespace

void KeptGeneration::keep(const Generation& from, KeptGeneration& into, const KeptGeneration* before,
                          WorkerPool* workers)
{
    const CellBitmap& board = *from.board;
    into.width = board.pixelsWide();
    into.height = board.pixelsHigh();
    const std::int64_t strips = from.live.strips();
    const auto words = static_cast<std::size_t>(strips * into.height);
    if (into.bits.size() != words)
        into.bits = LargeBuffer<std::uint64_t>::untouched(words);
    const auto copy = [&](std::int64_t first, std::int64_t end) {
        for (std::int64_t s = first; s < end; ++s)
            std::memcpy(into.bits.data() + s * into.height, from.live.strip(s), std::size_t(into.height) * 8);
    };
    // A few strips a task: on large boards the copying is shared out like a generation's tiles.
    constexpr std::int64_t kStripsPerTask = 8;
    const std::int64_t tasks = (strips + kStripsPerTask - 1) / kStripsPerTask;
    if (workers && tasks > 1 && words >= (std::size_t{1} << 16))
        workers->run(std::size_t(tasks), [&](std::size_t t) {
            copy(std::int64_t(t) * kStripsPerTask, std::min(strips, std::int64_t(t + 1) * kStripsPerTask));
        });
    else
        copy(0, strips);
    into.grays = graysOf(board, before, grayCount(from));
    into.rule = from.rule;
    into.number = from.number;
    into.population = from.tiles.population;
}

std::unique_ptr<CellBitmap> KeptGeneration::cells() const
{
    auto board = CellBitmap::create(width, height);
    if (!board)
        return nullptr;
    // Each byte of bits becomes eight cells at once.
    static const auto spread = [] {
        std::array<std::uint64_t, 256> table{};
        for (unsigned b = 0; b < 256; ++b) {
            for (unsigned i = 0; i < 8; ++i) {
                const std::uint64_t cell = (b >> i) & 1u ? CellBitmap::kLive : CellBitmap::kDead;
                table[b] |= cell << (8 * i);
            }
        }
        return table;
    }();
    const std::int64_t strips = (width + 63) / 64;
    for (std::int64_t y = 0; y < height; ++y) {
        std::uint8_t* row = board->row(y);
        for (std::int64_t s = 0; s < strips; ++s) {
            const std::uint64_t word = bits[std::size_t(s * height + y)];
            const std::int64_t x0 = s * 64;
            const std::int64_t n = std::min<std::int64_t>(64, width - x0);
            if (n == 64) {
                for (int k = 0; k < 8; ++k) {
                    const std::uint64_t eight = spread[(word >> (8 * k)) & 0xff];
                    std::memcpy(row + x0 + 8 * k, &eight, 8);
                }
            } else {
                for (std::int64_t i = 0; i < n; ++i)
                    row[x0 + i] = (word >> i) & 1u ? CellBitmap::kLive : CellBitmap::kDead;
            }
        }
    }
    if (grays) {
        std::uint8_t* cells = board->row(0);
        for (const KeptGray& g : *grays)
            cells[g.index] = g.value;
    }
    return board;
}

bool KeptGeneration::sameCells(const Generation& generation) const
{
    const CellBitmap& board = *generation.board;
    if (board.pixelsWide() != width || board.pixelsHigh() != height ||
        generation.tiles.population != population || grayCount(generation) != (grays ? grays->size() : 0))
        return false;
    // Gray cells only go, so an equal count is the same gray cells.
    for (std::int64_t s = 0; s < generation.live.strips(); ++s) {
        if (std::memcmp(bits.data() + s * height, generation.live.strip(s), std::size_t(height) * 8) != 0)
            return false;
    }
    return true;
}

std::uint64_t KeptGeneration::bytesFor(const Generation& generation)
{
    return sizeof(KeptGeneration) +
           std::uint64_t(generation.live.strips()) * std::uint64_t(generation.board->pixelsHigh()) * 8;
}

std::uint64_t KeptGeneration::bytes() const
{
    return sizeof(*this) + bits.size() * sizeof(std::uint64_t) +
           (grays ? grays->capacity() * sizeof(KeptGray) : 0);
}
