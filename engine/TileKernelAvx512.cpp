// The tile kernel for processors with AVX-512 (F and BW): eight rows of a
// tile at a time, 512 cells a word, the adder tree folded into three-input
// logic (vpternlog), and the conversions between bits and cells through
// mask registers, 64 cells an instruction. This file alone is compiled for
// AVX-512; TileKernel calls it only where the processor has it. Compiled
// once more with GOL_AVX512_POPCOUNT (TileKernelAvx512Popcount.cpp) for
// processors that count the bits of a vector in one instruction.

#include "TileKernel.h"

#include "TileKernelBody.h"

// GCC 12's AVX-512 intrinsics start some results from an undefined value,
// which its own warnings then take for an uninitialised read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <cstring>

namespace {

typedef std::uint64_t EightWords __attribute__((vector_size(64)));

struct Avx512Unit {
    using Word = EightWords;
    static constexpr int kLanes = 8;
    static __m512i raw(Word w) { return reinterpret_cast<__m512i>(w); }
    static Word word(__m512i v) { return reinterpret_cast<Word>(v); }
    static Word load(const std::uint64_t* p) { return word(_mm512_loadu_si512(p)); }
    static void store(std::uint64_t* p, Word w) { _mm512_storeu_si512(p, raw(w)); }
    static Word broadcast(std::uint64_t v) { return word(_mm512_set1_epi64(static_cast<long long>(v))); }
    static Word rowsMask(int n) { return word(_mm512_maskz_set1_epi64(static_cast<__mmask8>((1u << n) - 1), -1)); }
    static std::uint64_t lane(Word w, int j) { return w[j]; }
    static std::uint64_t orLanes(Word w) { return static_cast<std::uint64_t>(_mm512_reduce_or_epi64(raw(w))); }
    // The eight rows one above those of `here`, the first from the group above.
    static Word rowAbove(Word above, Word here) { return word(_mm512_alignr_epi64(raw(here), raw(above), 7)); }
    // The eight rows one below those of `here`, the last from the group below.
    static Word rowBelow(Word here, Word below) { return word(_mm512_alignr_epi64(raw(below), raw(here), 1)); }
    // A bit for each row whose word is not 0.
    static unsigned changedLanes(Word w) { return _mm512_test_epi64_mask(raw(w), raw(w)); }

#if GOL_AVX512_POPCOUNT
    // Live cells, counted per row.
    using Counter = __m512i;
    static Counter count(Counter c, Word w) { return _mm512_add_epi64(c, _mm512_popcnt_epi64(raw(w))); }
    static int total(Counter c) { return static_cast<int>(_mm512_reduce_add_epi64(c)); }
#else
    // Live cells, counted per byte of the eight rows (at most 8 a byte a
    // call: the eight calls of a tile stay below 256).
    using Counter = __m512i;
    static Counter count(Counter c, Word w)
    {
        const __m512i table = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4));
        const __m512i nibble = _mm512_set1_epi8(0x0f);
        const __m512i low = _mm512_shuffle_epi8(table, _mm512_and_si512(raw(w), nibble));
        const __m512i high = _mm512_shuffle_epi8(table, _mm512_and_si512(_mm512_srli_epi16(raw(w), 4), nibble));
        return _mm512_add_epi8(c, _mm512_add_epi8(low, high));
    }
    static int total(Counter c)
    {
        return static_cast<int>(_mm512_reduce_add_epi64(_mm512_sad_epu8(c, _mm512_setzero_si512())));
    }
#endif

    // Each cell of the row is a byte of the mask: 255 where the bit is clear.
    static void expand(std::uint64_t bits, std::uint8_t* out, int cols)
    {
        const __mmask64 inside = cols == 64 ? ~__mmask64{0} : (__mmask64{1} << cols) - 1;
        _mm512_mask_storeu_epi8(out, inside, _mm512_movm_epi8(~bits));
    }
    // As expand, for a whole row of 64 cells on a 64-byte boundary, past the
    // caches: the engine reads the cells it writes only from their bits.
    static void stream(std::uint64_t bits, std::uint8_t* out)
    {
        if ((reinterpret_cast<std::uintptr_t>(out) & 63u) != 0)
            return expand(bits, out, 64);
        _mm512_stream_si512(reinterpret_cast<__m512i*>(out), _mm512_movm_epi8(~bits));
    }
    static void streamed() { _mm_sfence(); }

    static std::uint64_t scan(const std::uint8_t* cells, int cols, int& grays)
    {
        const __mmask64 inside = cols == 64 ? ~__mmask64{0} : (__mmask64{1} << cols) - 1;
        const __m512i v = _mm512_maskz_loadu_epi8(inside, cells);
        const __mmask64 live = _mm512_mask_cmpeq_epi8_mask(inside, v, _mm512_setzero_si512());
        const __mmask64 dead = _mm512_mask_cmpeq_epi8_mask(inside, v, _mm512_set1_epi8(-1));
        grays += __builtin_popcountll(inside & ~(live | dead));
        return live;
    }
};

// Three-input logic whose truth table is known only at run time: one
// instruction, reached through a jump on the table (the same every time for
// a rule, so the processor predicts it).
[[gnu::always_inline]] inline __m512i ternary(__m512i a, __m512i b, __m512i c, unsigned table)
{
#define GOL_T1(i) \
    case i: return _mm512_ternarylogic_epi64(a, b, c, i);
#define GOL_T4(i) GOL_T1(i) GOL_T1(i + 1) GOL_T1(i + 2) GOL_T1(i + 3)
#define GOL_T16(i) GOL_T4(i) GOL_T4(i + 4) GOL_T4(i + 8) GOL_T4(i + 12)
#define GOL_T64(i) GOL_T16(i) GOL_T16(i + 16) GOL_T16(i + 32) GOL_T16(i + 48)
    switch (table & 0xffu) {
        GOL_T64(0) GOL_T64(64) GOL_T64(128) GOL_T64(192)
    }
#undef GOL_T64
#undef GOL_T16
#undef GOL_T4
#undef GOL_T1
    __builtin_unreachable();
}

// Any birth and survival sets, as truth tables of the count's low three
// bits: T = 0 to 7 looked up in one instruction each for a cell that is not
// live (born(T)) and a live one (survives(T - 1)); T = 8 and 9 (bit 3 set,
// bits 1 and 2 clear) selected from constants. The cells that keep their
// value (tiles with gray cells) are worked out as for the other units.
struct Avx512AnyRule {
    unsigned born, lives;          // the truth tables, bit T for T = 0 to 7
    EightWords born8, lives8, lives9;  // T = 8 for a cell that is not live; T = 8 and 9 for a live one
    AnyCounts<EightWords> any;

    explicit Avx512AnyRule(const LifeLikeRule& rule)
        : born(rule.birth & 0xffu), lives((rule.survival << 1) & 0xffu),
          born8(Avx512Unit::broadcast((rule.birth >> 8) & 1u ? ~std::uint64_t{0} : 0)),
          lives8(Avx512Unit::broadcast((rule.survival >> 7) & 1u ? ~std::uint64_t{0} : 0)),
          lives9(Avx512Unit::broadcast((rule.survival >> 8) & 1u ? ~std::uint64_t{0} : 0)),
          any(AnyCounts<EightWords>::make<Avx512Unit>(rule))
    {
    }

    EightWords next(EightWords t0, EightWords p, EightWords q, EightWords u, EightWords v, EightWords self) const
    {
        using U = Avx512Unit;
        constexpr unsigned kSelect = 0xca;  // a ? b : c
        const __m512i t1 = U::raw(p ^ u);
        const __m512i t2 = _mm512_ternarylogic_epi64(U::raw(q), U::raw(v), _mm512_and_si512(U::raw(p), U::raw(u)), 0x96);
        const __m512i t3 = U::raw(q & v);
        const __m512i low = _mm512_ternarylogic_epi64(
            U::raw(self), ternary(t2, t1, U::raw(t0), lives), ternary(t2, t1, U::raw(t0), born), kSelect);
        const __m512i liveHigh = _mm512_ternarylogic_epi64(U::raw(t0), U::raw(lives9), U::raw(lives8), kSelect);
        const __m512i high = _mm512_ternarylogic_epi64(U::raw(self), liveHigh, U::raw(born8), kSelect);
        return U::word(_mm512_ternarylogic_epi64(t3, high, low, kSelect));
    }
    EightWords keep(EightWords t0, EightWords p, EightWords q, EightWords u, EightWords v, EightWords self) const
    {
        return any.keep(t0, p, q, u, v, self);
    }
};

}  // namespace

#if GOL_AVX512_POPCOUNT
TileOutcome TileKernel::stepAvx512Popcount(const Generation& from, Generation& into, std::int64_t tile,
                                           Against against)
#else
TileOutcome TileKernel::stepAvx512(const Generation& from, Generation& into, std::int64_t tile, Against against)
#endif
{
    if (from.rule.isLife())
        return stepTile<Avx512Unit>(from, into, tile, against);
    // The rule's tables, made once for each rule a thread meets.
    thread_local LifeLikeRule made = LifeLikeRule::life();
    thread_local Avx512AnyRule rule{LifeLikeRule::life()};
    if (made != from.rule) {
        rule = Avx512AnyRule(from.rule);
        made = from.rule;
    }
    return stepTileOf<Avx512Unit>(from, into, tile, against, rule);
}

#if !GOL_AVX512_POPCOUNT
void TileKernel::writeBandAvx512(const Generation& g, CellBitmap& cells, std::int64_t band)
{
    writeBandCells<Avx512Unit>(g, cells, band);
}

void TileKernel::scanAvx512(CellBitmap& board, LiveBits& live, BoardTiles& tiles)
{
    scanBoard<Avx512Unit>(board, live, tiles);
}
#endif
