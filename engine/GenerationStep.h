#pragma once

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <vector>

struct BoardTiles;
struct Generation;
class WorkerPool;

// Computes the next generation over the tiles that can change.
//
// Generations are computed into the buffer of the generation two back, so
// the buffer holds the generation before the current one. A tile whose cells
// and ring are the same now as two generations back will next be what it was
// one generation back, which is what the buffer holds: it is left as it is.
// That covers still tiles and tiles that repeat every two generations (a
// blinker) alike, so a board that is mostly still costs what its moving
// parts cost. When the buffer holds something else, every tile is computed,
// and the marks are taken against the current generation: the next step
// then leaves the still tiles, and the one after that the repeating ones.
// A board just installed, computed into a buffer of dead cells, computes
// only the tiles with live or gray cells and their neighbours.
class GenerationStep {
public:
    // Tiles per task handed to a thread of the pool, at most and at least.
    static constexpr std::size_t kTilesPerTask = 16;
    static constexpr std::size_t kMinTilesPerTask = 2;
    // How many tiles ahead the live bits are asked for.
    static constexpr std::size_t kPrefetchAhead = 3;
    // Fewer tiles than this are computed on the calling thread alone: waking
    // another thread would cost more than it saves.
    static constexpr std::size_t kParallelTiles = 24;

    // Computes into `into` (a generation of the same size, whatever it
    // holds) the generation after `from`, sharing the work with `workers`
    // (may be null). Returns false when stopped; `into` is then left with
    // cells that are no generation (serial 0).
    bool run(const Generation& from, Generation& into, WorkerPool* workers, std::stop_token stop);
    // Whether a step from `from` into `into` takes its marks against the
    // generation two back, which `into` then still holds (otherwise against `from`).
    static bool marksAgainstHeld(const Generation& from, const Generation& into);

    // Tiles computed by the latest run, for measurements.
    std::size_t computed() const { return computed_; }

private:
    void findActive(const Generation& from);
    // As findActive, for boards where many tiles have marks.
    void findActiveDense(const BoardTiles& tiles, bool torus);

    std::vector<std::uint32_t> stamp_;  // a tile is in active_ when its stamp is epoch_
    std::uint32_t epoch_ = 0;
    std::vector<std::uint32_t> active_;  // the tiles to compute
    std::vector<std::uint32_t> ringed_;  // the marks with a ring of tiles around (findActiveDense)
    std::size_t computed_ = 0;
};
