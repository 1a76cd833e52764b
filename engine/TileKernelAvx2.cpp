// The tile kernel for processors with AVX2: four rows of a tile at a time,
// and the conversions between bits and cells 32 cells at a time. This file
// alone is compiled for AVX2; TileKernel calls it only where the processor
// has it.

#include "TileKernel.h"

#include "TileKernelBody.h"

#include <immintrin.h>

#include <cstring>

namespace {

typedef std::uint64_t FourWords __attribute__((vector_size(32)));

struct Avx2Unit {
    using Word = FourWords;
    static constexpr int kLanes = 4;
    static Word load(const std::uint64_t* p)
    {
        Word w;
        std::memcpy(&w, p, sizeof w);
        return w;
    }
    static void store(std::uint64_t* p, Word w) { std::memcpy(p, &w, sizeof w); }
    static Word broadcast(std::uint64_t v) { return Word{v, v, v, v}; }
    static Word rowsMask(int n)
    {
        const std::uint64_t all = ~std::uint64_t{0};
        return Word{n > 0 ? all : 0, n > 1 ? all : 0, n > 2 ? all : 0, n > 3 ? all : 0};
    }
    static std::uint64_t lane(Word w, int j) { return w[j]; }
    static std::uint64_t orLanes(Word w) { return w[0] | w[1] | w[2] | w[3]; }
    // The four rows one above those of `here`, the first from the group above.
    static Word rowAbove(Word above, Word here)
    {
        const __m256i mixed = _mm256_blend_epi32(reinterpret_cast<__m256i>(here), reinterpret_cast<__m256i>(above), 0xC0);
        return reinterpret_cast<Word>(_mm256_permute4x64_epi64(mixed, 0x93));
    }
    // The four rows one below those of `here`, the last from the group below.
    static Word rowBelow(Word here, Word below)
    {
        const __m256i mixed = _mm256_blend_epi32(reinterpret_cast<__m256i>(here), reinterpret_cast<__m256i>(below), 0x03);
        return reinterpret_cast<Word>(_mm256_permute4x64_epi64(mixed, 0x39));
    }
    // A bit for each row whose word is not 0.
    static unsigned changedLanes(Word w)
    {
        const __m256i zero = _mm256_cmpeq_epi64(reinterpret_cast<__m256i>(w), _mm256_setzero_si256());
        return ~static_cast<unsigned>(_mm256_movemask_pd(_mm256_castsi256_pd(zero))) & 15u;
    }

    // Live cells, counted per byte of the four rows (at most 8 a byte a
    // call: the sixteen calls of a tile stay below 256).
    using Counter = __m256i;
    static Counter count(Counter c, Word w)
    {
        const __m256i table = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4,
                                               0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
        const __m256i nibble = _mm256_set1_epi8(0x0f);
        const auto v = reinterpret_cast<__m256i>(w);
        const __m256i low = _mm256_shuffle_epi8(table, _mm256_and_si256(v, nibble));
        const __m256i high = _mm256_shuffle_epi8(table, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
        return _mm256_add_epi8(c, _mm256_add_epi8(low, high));
    }
    static int total(Counter c)
    {
        const __m256i sums = _mm256_sad_epu8(c, _mm256_setzero_si256());
        return static_cast<int>(_mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
                                _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3));
    }

    static void expand(std::uint64_t bits, std::uint8_t* out, int cols)
    {
        // Each byte picks the byte of the word that holds its bit, then tests its bit.
        const __m256i pick = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                              2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
        const __m256i bit = _mm256_set1_epi64x(0x8040201008040201);
        const __m256i all = _mm256_set1_epi8(-1);
        alignas(32) std::uint8_t part[64];
        std::uint8_t* dst = cols == 64 ? out : part;
        for (int half = 0; half < 2; ++half) {
            const auto word = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> (32 * half)));
            const __m256i bytes = _mm256_shuffle_epi8(_mm256_set1_epi32(word), pick);
            const __m256i live = _mm256_cmpeq_epi8(_mm256_and_si256(bytes, bit), bit);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 32 * half), _mm256_xor_si256(live, all));
        }
        if (cols != 64)
            std::memcpy(out, part, static_cast<std::size_t>(cols));
    }

    // As expand, for a whole row of 64 cells on a 32-byte boundary, past the
    // caches: the engine reads the cells it writes only from their bits.
    static void stream(std::uint64_t bits, std::uint8_t* out)
    {
        const __m256i pick = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                              2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
        const __m256i bit = _mm256_set1_epi64x(0x8040201008040201);
        const __m256i all = _mm256_set1_epi8(-1);
        for (int half = 0; half < 2; ++half) {
            const auto word = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> (32 * half)));
            const __m256i bytes = _mm256_shuffle_epi8(_mm256_set1_epi32(word), pick);
            const __m256i live = _mm256_cmpeq_epi8(_mm256_and_si256(bytes, bit), bit);
            _mm256_stream_si256(reinterpret_cast<__m256i*>(out + 32 * half), _mm256_xor_si256(live, all));
        }
    }
    static void streamed() { _mm_sfence(); }

    static std::uint64_t scan(const std::uint8_t* cells, int cols, int& grays)
    {
        alignas(32) std::uint8_t part[64];
        if (cols != 64) {
            std::memset(part, CellBitmap::kDead, sizeof part);
            std::memcpy(part, cells, static_cast<std::size_t>(cols));
            cells = part;
        }
        const __m256i dead = _mm256_set1_epi8(-1);
        std::uint64_t bits = 0;
        for (int half = 0; half < 2; ++half) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + 32 * half));
            const __m256i live = _mm256_cmpeq_epi8(v, _mm256_setzero_si256());
            const auto liveBits = static_cast<std::uint32_t>(_mm256_movemask_epi8(live));
            const auto plain = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_or_si256(live, _mm256_cmpeq_epi8(v, dead))));
            bits |= std::uint64_t{liveBits} << (32 * half);
            grays += __builtin_popcount(~plain);
        }
        return bits;
    }
};

}  // namespace

TileOutcome TileKernel::stepAvx2(const Generation& from, Generation& into, std::int64_t tile, Against against)
{
    return stepTile<Avx2Unit>(from, into, tile, against);
}

void TileKernel::writeBandAvx2(const Generation& g, CellBitmap& cells, std::int64_t band)
{
    writeBandCells<Avx2Unit>(g, cells, band);
}

void TileKernel::scanAvx2(CellBitmap& board, LiveBits& live, BoardTiles& tiles)
{
    scanBoard<Avx2Unit>(board, live, tiles);
}
