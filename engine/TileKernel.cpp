#include "TileKernel.h"

#include "TileKernelBody.h"

#include <atomic>

namespace {

// One row at a time in a plain 64-bit word: what every processor has.
struct PlainUnit {
    using Word = std::uint64_t;
    static constexpr int kLanes = 1;
    static Word load(const std::uint64_t* p) { return *p; }
    static void store(std::uint64_t* p, Word w) { *p = w; }
    static Word broadcast(std::uint64_t v) { return v; }
    static Word rowsMask(int) { return ~Word{0}; }
    static std::uint64_t lane(Word w, int) { return w; }
    static std::uint64_t orLanes(Word w) { return w; }
    static Word rowAbove(Word above, Word) { return above; }
    static Word rowBelow(Word, Word below) { return below; }
    static unsigned changedLanes(Word w) { return w != 0 ? 1u : 0u; }

    using Counter = int;
    static Counter count(Counter c, Word w) { return c + __builtin_popcountll(w); }
    static int total(Counter c) { return c; }

    static void expand(std::uint64_t bits, std::uint8_t* out, int cols)
    {
        for (int i = 0; i < cols; ++i)
            out[i] = ((bits >> i) & 1u) ? CellBitmap::kLive : CellBitmap::kDead;
    }

    static void stream(std::uint64_t bits, std::uint8_t* out) { expand(bits, out, 64); }
    static void streamed() {}

    static std::uint64_t scan(const std::uint8_t* cells, int cols, int& grays)
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < cols; ++i) {
            bits |= std::uint64_t{cells[i] == CellBitmap::kLive} << i;
            grays += cells[i] != CellBitmap::kLive && cells[i] != CellBitmap::kDead;
        }
        return bits;
    }
};

bool runs(TileKernel::Unit unit)
{
#if GOL_WIDE_KERNELS
    __builtin_cpu_init();
    switch (unit) {
    case TileKernel::Unit::Plain:
        return true;
    case TileKernel::Unit::Avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    case TileKernel::Unit::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("popcnt");
    case TileKernel::Unit::Avx512Popcount:
        return runs(TileKernel::Unit::Avx512) && __builtin_cpu_supports("avx512vpopcntdq");
    }
    return false;
#else
    return unit == TileKernel::Unit::Plain;
#endif
}

std::atomic<TileKernel::Unit>& chosen()
{
    static std::atomic<TileKernel::Unit> unit{TileKernel::units().back()};
    return unit;
}

}  // namespace

// Each entry goes to the build for the unit in use.
#if GOL_WIDE_KERNELS
#define GOL_ON_UNIT(plain, avx2, avx512, avx512popcount) \
    switch (chosen().load(std::memory_order_relaxed)) { \
    case Unit::Avx512Popcount:                           \
        return avx512popcount;                           \
    case Unit::Avx512:                                   \
        return avx512;                                   \
    case Unit::Avx2:                                     \
        return avx2;                                     \
    case Unit::Plain:                                    \
        break;                                           \
    }                                                    \
    return plain
#else
#define GOL_ON_UNIT(plain, avx2, avx512, avx512popcount) return plain
#endif

TileOutcome TileKernel::step(const Generation& from, Generation& into, std::int64_t tile, Against against)
{
    GOL_ON_UNIT(stepTile<PlainUnit>(from, into, tile, against), stepAvx2(from, into, tile, against),
                stepAvx512(from, into, tile, against), stepAvx512Popcount(from, into, tile, against));
}
void TileKernel::prefetch(const Generation& from, const Generation& into, std::int64_t tile)
{
    const std::int64_t wide = from.tiles.wide();
    const std::int64_t s = tile % wide;
    const std::int64_t y0 = tile / wide * BoardTiles::kHeight;
    for (std::int64_t strip = s - 1; strip <= s + 1; ++strip) {
        const std::uint64_t* words = from.live.strip(strip) + y0;
        __builtin_prefetch(words - 1);
        __builtin_prefetch(words + 7);
        __builtin_prefetch(words + BoardTiles::kHeight);
    }
    const std::uint64_t* held = into.live.strip(s) + y0;
    __builtin_prefetch(held, 1);
    __builtin_prefetch(held + BoardTiles::kHeight - 1, 1);
}

void TileKernel::writeBand(const Generation& g, CellBitmap& cells, std::int64_t band)
{
    GOL_ON_UNIT(writeBandCells<PlainUnit>(g, cells, band), writeBandAvx2(g, cells, band),
                writeBandAvx512(g, cells, band), writeBandAvx512(g, cells, band));
}

void TileKernel::scan(CellBitmap& board, LiveBits& live, BoardTiles& tiles)
{
    GOL_ON_UNIT(scanBoard<PlainUnit>(board, live, tiles), scanAvx2(board, live, tiles), scanAvx512(board, live, tiles),
                scanAvx512(board, live, tiles));
}

std::vector<TileKernel::Unit> TileKernel::units()
{
    std::vector<Unit> found;
    for (Unit unit : {Unit::Plain, Unit::Avx2, Unit::Avx512, Unit::Avx512Popcount})
        if (runs(unit))
            found.push_back(unit);
    return found;
}

TileKernel::Unit TileKernel::unit() { return chosen().load(std::memory_order_relaxed); }

const char* TileKernel::name(Unit unit)
{
    switch (unit) {
    case Unit::Avx512Popcount:
        return "AVX512_VPOPCNTDQ";
    case Unit::Avx512:
        return "AVX512";
    case Unit::Avx2:
        return "AVX2";
    case Unit::Plain:
        break;
    }
    return "plain";
}

void TileKernel::use(Unit unit) { chosen().store(runs(unit) ? unit : Unit::Plain, std::memory_order_relaxed); }
