#pragma once

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <vector>

struct Generation;
class WorkerPool;

// Computes the next generation over the tiles that can change: a tile whose
// cells and ring did not change since the generation before stays as it is,
// and so does one that repeats every two generations, whose cells are those
// of the generation two back. Those are left where they are in the buffer
// the generation is computed into when it holds the generation before
// (otherwise they are copied into it first), so a board that is mostly
// still costs what its moving parts cost.
class GenerationStep {
public:
    // Tiles per task handed to a thread of the pool.
    static constexpr std::size_t kTilesPerTask = 16;
    // Fewer tiles than this are computed on the calling thread alone: waking
    // another thread would cost more than it saves.
    static constexpr std::size_t kParallelTiles = 96;

    // Computes into `into` (a generation of the same size, whatever it
    // holds) the generation after `from`, sharing the work with `workers`
    // (may be null). Returns false when stopped; `into` is then left with
    // cells that are no generation (serial 0).
    bool run(const Generation& from, Generation& into, WorkerPool* workers, std::stop_token stop);

    // Tiles computed by the latest run, for measurements.
    std::size_t computed() const { return computed_; }

private:
    void findActive(const Generation& from, bool againstHeld);
    void touch(std::uint32_t tile, std::uint8_t need);

    // Per tile, valid where stamp_ is epoch_: 1 when its ring or cells
    // changed since the generation before, 2 since the one before that.
    std::vector<std::uint8_t> need_;
    std::vector<std::uint32_t> stamp_;
    std::uint32_t epoch_ = 0;
    std::vector<std::uint32_t> candidates_;  // every tile with a need
    std::vector<std::uint32_t> active_;      // the tiles to compute
    std::size_t computed_ = 0;
};
